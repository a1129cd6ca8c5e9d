// Run-time bindings of the simulated USB bus (vtwidus.dll) and the trace records
// (vtwidlog.dll) that the stand-ins export for tests.
#pragma once

#include <vtwidlog/vtwidlogsim_control.h>
#include <vtwidus/vtwidussim_control.h>
#include <win/module_path.h>
#include <win/unique_any.h>

#include <gtest/gtest.h>

#include <string>

namespace vtwidwus::test {

template <typename Fn> void BindEntry(HMODULE module, const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    ASSERT_NE(slot, nullptr) << name;
}

#define VTW_SIM_ENTRY(name) decltype(&VTWIDUSSIM_##name) name = nullptr
#define VTW_BIND_SIM(name) BindEntry(module.get(), "VTWIDUSSIM_" #name, name)

// The scenario control of the simulated bus; holds its own reference to the module so the
// scenario outlives any unloading of the wrapper.
struct SimBus {
    void Load() {
        const std::wstring path = qelwin::JoinPath(qelwin::ThisModuleFolder(), L"vtwidus.dll");
        module.reset(::LoadLibraryW(path.c_str()));
        ASSERT_TRUE(module) << "vtwidus.dll beside the test";
        VTW_BIND_SIM(Reset);
        VTW_BIND_SIM(AddPrinter);
        VTW_BIND_SIM(UnplugPrinter);
        VTW_BIND_SIM(SetInt);
        VTW_BIND_SIM(SetText);
        VTW_BIND_SIM(GetInt);
        VTW_BIND_SIM(GetText);
        VTW_BIND_SIM(RemoveObject);
        VTW_BIND_SIM(AddAccessPoint);
        VTW_BIND_SIM(SetSupport);
        VTW_BIND_SIM(ClearSupport);
        VTW_BIND_SIM(SetBehaviour);
        VTW_BIND_SIM(GetApSearchStarts);
        VTW_BIND_SIM(GetLastApSearch);
        VTW_BIND_SIM(GetLastUsbTimeout);
        VTW_BIND_SIM(AddFault);
        VTW_BIND_SIM(ClearFaults);
        VTW_BIND_SIM(WaitForBlocked);
        VTW_BIND_SIM(ReleaseBlocked);
        VTW_BIND_SIM(GetCallCount);
        VTW_BIND_SIM(GetLivePackets);
        VTW_BIND_SIM(GetLiveUsbInstances);
        Reset();
    }
    std::string Text(int printer, const char* oid) {
        char buffer[512] = {};
        GetText(printer, oid, buffer, sizeof buffer);
        return buffer;
    }
    int Int(int printer, const char* oid) {
        int value = -12345;
        GetInt(printer, oid, &value);
        return value;
    }
    std::string LastApSearch(int printer) {
        char buffer[512] = {};
        GetLastApSearch(printer, buffer, sizeof buffer);
        return buffer;
    }
    // A fault on one entry (any printer, any OID).
    int Fault(int entry, int action, int value, int times = 1, int skip = 0, int command = 0,
              const char* oid = nullptr) {
        VTWIDUSSIM_Fault f{entry, -1, oid, command, skip, times, action, value};
        return AddFault(&f);
    }

    qelwin::unique_hmodule module;
    VTW_SIM_ENTRY(Reset);
    VTW_SIM_ENTRY(AddPrinter);
    VTW_SIM_ENTRY(UnplugPrinter);
    VTW_SIM_ENTRY(SetInt);
    VTW_SIM_ENTRY(SetText);
    VTW_SIM_ENTRY(GetInt);
    VTW_SIM_ENTRY(GetText);
    VTW_SIM_ENTRY(RemoveObject);
    VTW_SIM_ENTRY(AddAccessPoint);
    VTW_SIM_ENTRY(SetSupport);
    VTW_SIM_ENTRY(ClearSupport);
    VTW_SIM_ENTRY(SetBehaviour);
    VTW_SIM_ENTRY(GetApSearchStarts);
    VTW_SIM_ENTRY(GetLastApSearch);
    VTW_SIM_ENTRY(GetLastUsbTimeout);
    VTW_SIM_ENTRY(AddFault);
    VTW_SIM_ENTRY(ClearFaults);
    VTW_SIM_ENTRY(WaitForBlocked);
    VTW_SIM_ENTRY(ReleaseBlocked);
    VTW_SIM_ENTRY(GetCallCount);
    VTW_SIM_ENTRY(GetLivePackets);
    VTW_SIM_ENTRY(GetLiveUsbInstances);
};

// An access point for VTWIDUSSIM_AddAccessPoint.
inline VTWIDUSSIM_AccessPoint AccessPoint(const char* ssid, int authentication, int signal) {
    static const unsigned char bssid[6] = {0x00, 0x1b, 0xa9, 0x10, 0x20, 0x30};
    return VTWIDUSSIM_AccessPoint{ssid, bssid, 6, 4, 6, authentication, 4, signal};
}

} // namespace vtwidwus::test
