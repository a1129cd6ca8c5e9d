// The entry point of a stand-in library. Its exports are forwarded to the simulated world
// (qelworld.dll); the library itself only tells the world when it is loaded and unloaded, so the
// world counts both and drops the handles that an unloaded library gave out.
#include "qelworld/qelworld_control.h"

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
        QELWORLD_LibraryLoaded(QEL_FACE_LIBRARY);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Not while the process ends: other threads are gone and may have left the world locked.
        QELWORLD_LibraryUnloaded(QEL_FACE_LIBRARY);
    }
    return TRUE;
}
