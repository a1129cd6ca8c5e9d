// A text library that also carries code: loading it for its texts must never run that code.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::SetEnvironmentVariableW(L"QEL_PLANTED_LIBRARY_RAN", L"1");
    }
    return TRUE;
}
