// vtqeldevc.dll's boundary. The entry point keeps the library's own module handle, from whose
// folder the outside libraries are loaded, and gives back what its C++ runtime keeps when the
// library is freed; the exports make and destroy the device object behind the library's one
// guard, so nothing thrown reaches the caller.
#include "guard.h"
#include "vtesdev_lib.h"

#include <vtqeldevc/vtqeldevc.h>
#include <win/runtime_release.h>

#include <atomic>
#include <utility>

namespace {

std::atomic<HMODULE> g_module{nullptr};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module.store(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        g_module.store(nullptr);
    }
    // The application keeps the library for the process's life, but other callers may not.
    qelwin::ReleaseRuntimeOnUnload(reason, reserved);
    return TRUE;
}

extern "C" {

int WINAPI CreateVTESDev(VTESDevIF** pp) noexcept {
    if (pp == nullptr || *pp != nullptr) {
        return 0;
    }
    return vtqeldevc::Guarded(0, [&] {
        *pp = new vtqeldevc::VTESDevLib(g_module.load());
        return 1;
    });
}

void WINAPI DeleteVTESDev(VTESDevIF** pp) noexcept {
    if (pp == nullptr) {
        return;
    }
    vtqeldevc::Guarded(0, [&] {
        delete std::exchange(*pp, nullptr);
        return 0;
    });
}

int WINAPI GetVTESDevVersion(int* major, int* minor, int* revision) noexcept {
    if (major == nullptr || minor == nullptr || revision == nullptr) {
        return 0;
    }
    *major = VTESDEV_VERSION_MAJOR;
    *minor = VTESDEV_VERSION_MINOR;
    *revision = VTESDEV_VERSION_REVISION;
    return 1;
}

} // extern "C"
