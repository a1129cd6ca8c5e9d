// Entry point of vtwidwus.dll: keeps the module handle (the packet library is loaded from this
// module's folder) and frees the outside libraries and what its C++ runtime keeps when the
// wrapper itself is unloaded.
#include "trace.h"
#include "wrapvtwidus.h"

#include <win/runtime_release.h>

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    vtwidwus::SetThisModule(instance);
    // reserved is non-null when the process is terminating: then other threads are gone and
    // the loader is tearing everything down, so nothing is freed here.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        vtwidwus::UnloadProcessVtwidus();
        vtwidwus::ProcessTracer().Unload();
    }
    // The printer access library loads the wrapper around every USB operation.
    qelwin::ReleaseRuntimeOnUnload(reason, reserved);
    return TRUE;
}
