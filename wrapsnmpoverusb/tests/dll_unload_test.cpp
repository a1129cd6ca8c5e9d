// Loading and unloading vtwidwus.dll: the outside libraries it loaded go with it, and without
// the packet library beside it a search reports that it is not loaded.
#include "wus_dll.h"

#include <filesystem>

namespace vtwidwus::test {
namespace {

namespace fs = std::filesystem;

TEST(DllUnloadTest, UnloadingTheWrapperFreesThePacketAndTraceLibraries) {
    ASSERT_EQ(::GetModuleHandleW(L"vtwidus.dll"), nullptr);
    ASSERT_EQ(::GetModuleHandleW(L"vtwidlog.dll"), nullptr);
    {
        WusDll wus;
        wus.Load();
        VTWIDWUS_INSTANCE instance = wus.CreateInstance();
        int count = -1;
        tagUsbDevice* list = nullptr;
        EXPECT_EQ(wus.Search(instance, &count, &list), 0); // an empty bus
        EXPECT_NE(::GetModuleHandleW(L"vtwidus.dll"), nullptr);
        EXPECT_NE(::GetModuleHandleW(L"vtwidlog.dll"), nullptr);
        wus.DestroyInstance(instance);
    }
    EXPECT_EQ(::GetModuleHandleW(L"vtwidus.dll"), nullptr);
    EXPECT_EQ(::GetModuleHandleW(L"vtwidlog.dll"), nullptr);
}

TEST(DllUnloadTest, WithoutThePacketLibraryASearchReportsNotLoaded) {
    const fs::path folder =
        fs::temp_directory_path() / ("vtwidwus_alone_" + std::to_string(::GetCurrentProcessId()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(fs::path(qelwin::ThisModuleFolder()) / "vtwidwus.dll", folder / "vtwidwus.dll");
    {
        WusDll wus;
        wus.Load((folder / "vtwidwus.dll").wstring());
        VTWIDWUS_INSTANCE instance = wus.CreateInstance();
        int count = 3;
        tagUsbDevice* list = nullptr;
        EXPECT_EQ(wus.Search(instance, &count, &list), -4);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(::GetModuleHandleW(L"vtwidus.dll"), nullptr);
        wus.DestroyInstance(instance);
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

} // namespace
} // namespace vtwidwus::test
