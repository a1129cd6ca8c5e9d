// Loaded by the module-path tests from a folder deeper than MAX_PATH.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
