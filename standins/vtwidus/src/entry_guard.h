// Shared frame of the stand-in's entries: the scenario lock, fault interception and the
// rule that nothing thrown leaves an entry.
#pragma once

#include "library_state.h"
#include "vtwidus/vtwidussim_control.h"

#include <mutex>
#include <new>

namespace vtwidussim {

inline std::unique_lock<std::mutex> LockScenario() {
    return std::unique_lock<std::mutex>(Scenario::Get().Mutex());
}

// Runs body and turns anything thrown into a result code.
template <typename Body> int Guarded(Body&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return VTWIDUS_ERROR_CODE_NO_MEMORY;
    } catch (...) {
        return VTWIDUS_ERROR_CODE_FAILED;
    }
}

// The frame of an entry that works on one packet: counts the call, fires its faults, checks
// the handle, then runs body(lock, packet).
template <typename Body> int WithPacket(int entry, VTWIDUS_PACKET handle, Body&& body) {
    return Guarded([&]() -> int {
        auto lock = LockScenario();
        const Interception faults = Intercept(lock, entry);
        if (faults.result) {
            return *faults.result;
        }
        Packet* packet = LibraryState::Get().FindPacket(handle);
        if (packet == nullptr) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        return body(*packet);
    });
}

} // namespace vtwidussim
