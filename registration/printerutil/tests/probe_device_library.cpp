// A library that looks like the device library to the binding: its factory entries, or one of
// them left out (PROBE_NO_CREATE, PROBE_NO_DELETE).
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

extern "C" {

#ifndef PROBE_NO_CREATE
// Tells the test it reached this entry: no object, a result no real library gives.
__declspec(dllexport) int WINAPI CreateVTESDev(void** object) {
    if (object != nullptr) {
        *object = nullptr;
    }
    return 42;
}
#endif

#ifndef PROBE_NO_DELETE
__declspec(dllexport) void WINAPI DeleteVTESDev(void** object) {
    if (object != nullptr) {
        *object = nullptr;
    }
}
#endif
}
