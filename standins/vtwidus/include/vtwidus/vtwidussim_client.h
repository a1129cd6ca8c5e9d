// A test's handle on the stand-in vtwidus.dll: loads the module (keeping a reference of its
// own, so the scenario outlives the wrapper's unloading of the library) and binds every
// VTWIDUSSIM_ control function. Header-only; for tests (needs the qelwin include folder).
//
//   vtwidussim::Client sim(folderOfTheDlls);   // e.g. qelwin::ThisModuleFolder()
//   ASSERT_TRUE(sim.Loaded());
//   sim->Reset();
//   sim->AddPrinter("Model", "SERIAL1");
#pragma once

#include "vtwidus/vtwidussim_control.h"
#include "win/unique_any.h"

#include <windows.h>

#include <string>
#include <type_traits>

namespace vtwidussim {

struct ControlTable {
    decltype(&VTWIDUSSIM_Reset) Reset = nullptr;
    decltype(&VTWIDUSSIM_AddPrinter) AddPrinter = nullptr;
    decltype(&VTWIDUSSIM_UnplugPrinter) UnplugPrinter = nullptr;
    decltype(&VTWIDUSSIM_SetInt) SetInt = nullptr;
    decltype(&VTWIDUSSIM_SetText) SetText = nullptr;
    decltype(&VTWIDUSSIM_SetRaw) SetRaw = nullptr;
    decltype(&VTWIDUSSIM_RemoveObject) RemoveObject = nullptr;
    decltype(&VTWIDUSSIM_GetInt) GetInt = nullptr;
    decltype(&VTWIDUSSIM_GetText) GetText = nullptr;
    decltype(&VTWIDUSSIM_AddAccessPoint) AddAccessPoint = nullptr;
    decltype(&VTWIDUSSIM_ClearAccessPoints) ClearAccessPoints = nullptr;
    decltype(&VTWIDUSSIM_PublishApSearchResults) PublishApSearchResults = nullptr;
    decltype(&VTWIDUSSIM_SetSupport) SetSupport = nullptr;
    decltype(&VTWIDUSSIM_ClearSupport) ClearSupport = nullptr;
    decltype(&VTWIDUSSIM_SetBehaviour) SetBehaviour = nullptr;
    decltype(&VTWIDUSSIM_GetApSearchStarts) GetApSearchStarts = nullptr;
    decltype(&VTWIDUSSIM_GetLastApSearch) GetLastApSearch = nullptr;
    decltype(&VTWIDUSSIM_GetLastUsbTimeout) GetLastUsbTimeout = nullptr;
    decltype(&VTWIDUSSIM_AddFault) AddFault = nullptr;
    decltype(&VTWIDUSSIM_GetFaultHits) GetFaultHits = nullptr;
    decltype(&VTWIDUSSIM_ClearFaults) ClearFaults = nullptr;
    decltype(&VTWIDUSSIM_WaitForBlocked) WaitForBlocked = nullptr;
    decltype(&VTWIDUSSIM_ReleaseBlocked) ReleaseBlocked = nullptr;
    decltype(&VTWIDUSSIM_GetCallCount) GetCallCount = nullptr;
    decltype(&VTWIDUSSIM_GetJournalCount) GetJournalCount = nullptr;
    decltype(&VTWIDUSSIM_GetJournalLine) GetJournalLine = nullptr;
    decltype(&VTWIDUSSIM_ClearJournal) ClearJournal = nullptr;
    decltype(&VTWIDUSSIM_GetLivePackets) GetLivePackets = nullptr;
    decltype(&VTWIDUSSIM_GetLiveUsbInstances) GetLiveUsbInstances = nullptr;
    decltype(&VTWIDUSSIM_GetSimulatedTimeMs) GetSimulatedTimeMs = nullptr;
};

class Client {
public:
    // folder: where vtwidus.dll lies (no trailing backslash).
    explicit Client(const std::wstring& folder) {
        const std::wstring path = folder + L"\\vtwidus.dll";
        module_.reset(::LoadLibraryW(path.c_str()));
        if (!module_) {
            return;
        }
        bool all = true;
        auto bind = [&](auto& slot, const char* name) {
            slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(
                reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
            all = all && slot != nullptr;
        };
        bind(t_.Reset, "VTWIDUSSIM_Reset");
        bind(t_.AddPrinter, "VTWIDUSSIM_AddPrinter");
        bind(t_.UnplugPrinter, "VTWIDUSSIM_UnplugPrinter");
        bind(t_.SetInt, "VTWIDUSSIM_SetInt");
        bind(t_.SetText, "VTWIDUSSIM_SetText");
        bind(t_.SetRaw, "VTWIDUSSIM_SetRaw");
        bind(t_.RemoveObject, "VTWIDUSSIM_RemoveObject");
        bind(t_.GetInt, "VTWIDUSSIM_GetInt");
        bind(t_.GetText, "VTWIDUSSIM_GetText");
        bind(t_.AddAccessPoint, "VTWIDUSSIM_AddAccessPoint");
        bind(t_.ClearAccessPoints, "VTWIDUSSIM_ClearAccessPoints");
        bind(t_.PublishApSearchResults, "VTWIDUSSIM_PublishApSearchResults");
        bind(t_.SetSupport, "VTWIDUSSIM_SetSupport");
        bind(t_.ClearSupport, "VTWIDUSSIM_ClearSupport");
        bind(t_.SetBehaviour, "VTWIDUSSIM_SetBehaviour");
        bind(t_.GetApSearchStarts, "VTWIDUSSIM_GetApSearchStarts");
        bind(t_.GetLastApSearch, "VTWIDUSSIM_GetLastApSearch");
        bind(t_.GetLastUsbTimeout, "VTWIDUSSIM_GetLastUsbTimeout");
        bind(t_.AddFault, "VTWIDUSSIM_AddFault");
        bind(t_.GetFaultHits, "VTWIDUSSIM_GetFaultHits");
        bind(t_.ClearFaults, "VTWIDUSSIM_ClearFaults");
        bind(t_.WaitForBlocked, "VTWIDUSSIM_WaitForBlocked");
        bind(t_.ReleaseBlocked, "VTWIDUSSIM_ReleaseBlocked");
        bind(t_.GetCallCount, "VTWIDUSSIM_GetCallCount");
        bind(t_.GetJournalCount, "VTWIDUSSIM_GetJournalCount");
        bind(t_.GetJournalLine, "VTWIDUSSIM_GetJournalLine");
        bind(t_.ClearJournal, "VTWIDUSSIM_ClearJournal");
        bind(t_.GetLivePackets, "VTWIDUSSIM_GetLivePackets");
        bind(t_.GetLiveUsbInstances, "VTWIDUSSIM_GetLiveUsbInstances");
        bind(t_.GetSimulatedTimeMs, "VTWIDUSSIM_GetSimulatedTimeMs");
        loaded_ = all;
    }
    bool Loaded() const { return loaded_; }
    HMODULE Module() const { return module_.get(); }
    const ControlTable* operator->() const { return &t_; }

    // Journal line index as a string ("" for none).
    std::string JournalLine(int index) const {
        const int n = t_.GetJournalLine(index, nullptr, 0);
        if (n < 0) {
            return {};
        }
        std::string line(static_cast<std::size_t>(n) + 1, '\0');
        t_.GetJournalLine(index, line.data(), n + 1);
        line.resize(static_cast<std::size_t>(n));
        return line;
    }

    // A fault with the common fields; adjust the returned record before AddFault if needed.
    static VTWIDUSSIM_Fault Fault(int entry, int action, int value, int times = 1) {
        VTWIDUSSIM_Fault f{};
        f.entry = entry;
        f.printer = -1;
        f.oid = nullptr;
        f.command = 0;
        f.skip = 0;
        f.times = times;
        f.action = action;
        f.value = value;
        return f;
    }

private:
    qelwin::unique_hmodule module_;
    bool loaded_ = false;
    ControlTable t_;
};

} // namespace vtwidussim
