#include "win/module_path.h"
#include "win/unique_any.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

TEST(ModulePath, ThisModuleFolderIsTheExecutablesFolder) {
    const std::wstring exe = qelwin::ModuleFileName(nullptr);
    ASSERT_FALSE(exe.empty());
    const std::wstring folder = qelwin::ThisModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(exe.rfind(folder + L"\\", 0), 0u);
    EXPECT_EQ(exe.find(L'\\', folder.size() + 1), std::wstring::npos);
}

TEST(ModulePath, JoinPathAddsExactlyOneSeparator) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"C:\\a", L"b.dll", L"C:\\a\\b.dll"},
        {L"C:\\a\\", L"b.dll", L"C:\\a\\b.dll"},
        {L"", L"b.dll", L"b.dll"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qelwin::JoinPath(c.folder, c.name), c.expected) << c.folder;
    }
}

// A library loaded from a folder deeper than MAX_PATH must still report its whole path.
TEST(ModulePath, PathLongerThanMaxPathIsNotCut) {
    namespace fs = std::filesystem;
    const std::wstring probe = qelwin::JoinPath(qelwin::ThisModuleFolder(), L"qelwin_probe.dll");
    ASSERT_NE(::GetFileAttributesW(probe.c_str()), INVALID_FILE_ATTRIBUTES);

    std::wstring root = fs::temp_directory_path().wstring();
    if (!root.empty() && root.back() == L'\\')
        root.pop_back();
    root += L"\\qelwin-long-" + std::to_wstring(::GetCurrentProcessId());
    std::wstring deep = root;
    while (deep.size() < 300)
        deep += L"\\" + std::wstring(40, L'd');
    fs::create_directories(L"\\\\?\\" + deep);
    const std::wstring copy = deep + L"\\qelwin_probe.dll";
    ASSERT_TRUE(::CopyFileW(probe.c_str(), (L"\\\\?\\" + copy).c_str(), FALSE));

    HMODULE loaded = ::LoadLibraryW((L"\\\\?\\" + copy).c_str());
    ASSERT_NE(loaded, nullptr) << ::GetLastError();
    const std::wstring reported = qelwin::ModuleFileName(loaded);
    ::FreeLibrary(loaded);
    std::error_code ec;
    fs::remove_all(L"\\\\?\\" + root, ec);

    EXPECT_GT(reported.size(), size_t{MAX_PATH});
    // The loader may or may not keep the \\?\ prefix; the rest must be all there.
    ASSERT_GE(reported.size(), copy.size());
    EXPECT_EQ(reported.substr(reported.size() - copy.size()), copy);
}

} // namespace
