// What the program carries besides its code: the manifest that gives it the current common
// controls, its execution level and DPI awareness, its icon and its version.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "win/module_path.h"
#include "win/unique_any.h"

namespace {

std::wstring ProgramPath() {
    return qelwin::JoinPath(qelwin::ThisModuleFolder(), L"QelRegistration.exe");
}

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        module_.reset(::LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module_);
    }
    qelwin::unique_hmodule module_;
};

TEST_F(ProgramResources, ManifestAsksForCommonControls6AsInvokerAndPerMonitorDpi) {
    HRSRC found = ::FindResourceW(module_.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const HGLOBAL loaded = ::LoadResource(module_.get(), found);
    ASSERT_NE(loaded, nullptr);
    const auto* data = static_cast<const char*>(::LockResource(loaded));
    const std::string manifest(data, ::SizeofResource(module_.get(), found));
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                             "level=\"asInvoker\"", "PerMonitorV2", "true/pm"}) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
}

TEST_F(ProgramResources, IconInTheSizesTheWindowsUse) {
    for (int size : {16, 32, 48}) {
        const HICON icon = static_cast<HICON>(
            ::LoadImageW(module_.get(), MAKEINTRESOURCEW(IDI_APP_ICON), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info)) << size;
        BITMAP bitmap{};
        ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
}

TEST(ProgramVersion, FileAndProductVersionAre180) {
    const std::wstring path = ProgramPath();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(8, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(8, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);

    wchar_t* text = nullptr;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                                 reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, L"1.8.0");
}

} // namespace
