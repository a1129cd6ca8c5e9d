// Loading and unloading vtwidwus.dll: the outside libraries it loaded go with it, nothing it
// opened stays behind, and without the packet library beside it a search reports that it is not
// loaded.
#include "wus_dll.h"

#include <cstdint>
#include <filesystem>
#include <functional>

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

// The handles open in this process. GetProcessHandleCount says 0 under Wine, so handle values
// are probed instead, upward until a long run of values holds none.
int OpenHandleCount() {
    constexpr std::uintptr_t kEmptyRun = 4096 * 4;
    int count = 0;
    std::uintptr_t last = 0;
    for (std::uintptr_t value = 4; value < last + kEmptyRun; value += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++count;
            last = value;
        }
    }
    return count;
}

// The printer access library loads vtwidwus.dll around every USB operation, so whatever one load
// leaves open grows with use.
TEST(DllUnloadTest, LoadAndUnloadLeaveNoHandleOpen) {
    struct Case {
        const char* name;
        const wchar_t* library;
        int cycles;
        std::function<void(WusDll&)> use;
    };
    const Case cases[] = {
        {"the wrapper, no call", L"vtwidwus.dll", 200, nullptr},
        {"the wrapper, an instance that searched", L"vtwidwus.dll", 200,
         [](WusDll& wus) {
             VTWIDWUS_INSTANCE instance = wus.CreateInstance();
             int count = -1;
             tagUsbDevice* list = nullptr;
             EXPECT_EQ(wus.Search(instance, &count, &list), 0);
             wus.DestroyInstance(instance);
         }},
        // The stand-ins that it loads, loaded alone.
        {"the packet library", L"vtwidus.dll", 50, nullptr},
        {"the trace library", L"vtwidlog.dll", 50, nullptr},
    };
    for (const auto& c : cases) {
        const std::wstring path = qelwin::JoinPath(qelwin::ThisModuleFolder(), c.library);
        auto cycle = [&] {
            WusDll wus;
            if (c.use) {
                wus.Load(path);
                c.use(wus);
            } else {
                wus.module.reset(::LoadLibraryW(path.c_str()));
                ASSERT_TRUE(wus.module) << c.name;
            }
        };
        // The stand-ins stay loaded while the wrapper is called, so that only what the wrapper
        // leaves behind is counted: a stand-in keeps state on the calling thread.
        qelwin::unique_hmodule packet;
        qelwin::unique_hmodule trace;
        if (c.use) {
            packet.reset(::LoadLibraryW(
                qelwin::JoinPath(qelwin::ThisModuleFolder(), L"vtwidus.dll").c_str()));
            trace.reset(::LoadLibraryW(
                qelwin::JoinPath(qelwin::ThisModuleFolder(), L"vtwidlog.dll").c_str()));
            ASSERT_TRUE(packet && trace) << c.name;
        }
        // The first load may make what the process keeps for good.
        cycle();
        const int before = OpenHandleCount();
        ASSERT_GT(before, 0) << "the probe finds no handle at all";
        for (int i = 0; i < c.cycles && !HasFatalFailure(); ++i) {
            cycle();
        }
        EXPECT_EQ(OpenHandleCount(), before) << c.name << ", after " << c.cycles << " cycles";
    }
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
