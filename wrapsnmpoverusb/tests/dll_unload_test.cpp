// Loading and unloading vtwidwus.dll: the outside libraries it loaded go with it, nothing it
// opened or allocated stays behind, and without the packet library beside it a search reports that
// it is not loaded.
#include "wus_dll.h"

#include <vtmpu/vtmpu_api.h>
#include <vtmpu2/vtmpu2_api.h>
#include <vtwidlog/vtwidlog_api.h>
#include <vtwiduns/vtwiduns_api.h>
#include <vtwidus/vtwidus_api.h>

#include <win/committed_memory.h>

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

template <typename Fn> Fn Entry(HMODULE module, const char* name) {
    Fn entry = nullptr;
    BindDllEntry(module, name, entry);
    return entry;
}
#define QEL_ENTRY(module, name) Entry<decltype(&name)>(module, #name)

// The printer access library loads vtwidwus.dll, and through it the packet and trace libraries,
// around every USB operation, and the port and USB device libraries around each of theirs: so
// whatever one load leaves open or allocated grows with use. Each library is called while
// loaded, from this thread, which lives on after every unload. Memory is counted over at least
// 100 cycles, where a few KB a cycle on average is what the heap may shift; a C++ runtime that
// keeps its memory costs about 73 KB a cycle.
TEST(DllUnloadTest, LoadAndUnloadLeaveNoHandleOpenAndNoMemoryTaken) {
    constexpr std::int64_t kBytesPerCycle = 4 * 1024;
    struct Case {
        const char* name;
        const wchar_t* library;
        int cycles;
        std::function<void(HMODULE)> use;
    };
    const Case cases[] = {
        {"the wrapper, no call", L"vtwidwus.dll", 200, nullptr},
        {"the wrapper, an instance that searched", L"vtwidwus.dll", 200,
         [](HMODULE module) {
             VTWIDWUS_INSTANCE instance = QEL_ENTRY(module, VTWIDWUS_CreateInstance)();
             int count = -1;
             tagUsbDevice* list = nullptr;
             EXPECT_EQ(QEL_ENTRY(module, VTWIDWUS_Search)(instance, &count, &list), 0);
             QEL_ENTRY(module, VTWIDWUS_DestroyInstance)(instance);
         }},
        {"the packet library, no call", L"vtwidus.dll", 100, nullptr},
        {"the packet library, a packet and a search", L"vtwidus.dll", 100,
         [](HMODULE module) {
             VTWIDUS_PACKET packet =
                 QEL_ENTRY(module, VTWIDUS_CreatePacket)(VTWIDUS_PACKET_VERSION_3);
             EXPECT_NE(packet, nullptr);
             EXPECT_EQ(QEL_ENTRY(module, VTWIDUS_DestroyPacket)(packet), 0);
             const VTWIDUS_USB_ENTRY* list = nullptr;
             EXPECT_GE(QEL_ENTRY(module, VTWIDUS_Search)(&list), 0);
         }},
        {"the trace library, no call", L"vtwidlog.dll", 100, nullptr},
        {"the trace library, a trace read back", L"vtwidlog.dll", 100,
         [](HMODULE module) {
             QEL_ENTRY(module, VTWIDLOG_Trace)(1, "here.cpp", 1, "trace %d", 1);
             EXPECT_EQ(QEL_ENTRY(module, VTWIDLOGSIM_GetCount)(), 1);
         }},
        {"the network port library, a channel", L"vtmpu2.dll", 100,
         [](HMODULE module) {
             PU2_HANDLE channel = QEL_ENTRY(module, pu2Open)();
             EXPECT_GT(channel, 0);
             QEL_ENTRY(module, pu2Close)(channel);
         }},
        {"the queue port library, its ports", L"vtmpu.dll", 100,
         [](HMODULE module) {
             char ports[PU_PORT_LIST_BYTES] = {};
             int count = 0;
             QEL_ENTRY(module, pulowWorkingPort)(ports, sizeof ports, &count);
         }},
        {"the USB device library, an instance", L"vtwiduns.dll", 100,
         [](HMODULE module) {
             VTWIDUNS_INSTANCE instance = QEL_ENTRY(module, VTWIDUNS_CreateInstance)();
             EXPECT_NE(instance, nullptr);
             QEL_ENTRY(module, VTWIDUNS_DestroyInstance)(instance);
         }},
        {"the printer access library, no call", L"vtqeldevc.dll", 100, nullptr},
    };
    for (const auto& c : cases) {
        const std::wstring path = qelwin::JoinPath(qelwin::ThisModuleFolder(), c.library);
        auto cycle = [&] {
            qelwin::unique_hmodule module(::LoadLibraryW(path.c_str()));
            ASSERT_TRUE(module) << c.name;
            if (c.use) {
                c.use(module.get());
            }
        };
        // The first loads may make what the process keeps for good (the world behind the
        // stand-ins stays once loaded, the heap grows to what a cycle needs).
        for (int i = 0; i < 5; ++i) {
            cycle();
        }
        const int before = OpenHandleCount();
        ASSERT_GT(before, 0) << "the probe finds no handle at all";
        const auto bytes_before = static_cast<std::int64_t>(qelwin::CommittedPrivateBytes());
        for (int i = 0; i < c.cycles && !HasFatalFailure(); ++i) {
            cycle();
        }
        const std::int64_t grown =
            static_cast<std::int64_t>(qelwin::CommittedPrivateBytes()) - bytes_before;
        EXPECT_EQ(OpenHandleCount(), before) << c.name << ", after " << c.cycles << " cycles";
        EXPECT_LT(grown / c.cycles, kBytesPerCycle)
            << c.name << ": " << grown << " bytes more after " << c.cycles << " cycles";
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
