// Calls into winhttp.dll, which it loads at the first call as the program does, so that a test
// can take the library or one of its entries away and watch the run end.
//   qelapp_delay_load_probe.exe library|entry
#include <windows.h>
#include <winhttp.h>

#include <cwchar>

// Newer than this toolchain's header; Wine 8's winhttp.dll lacks it.
extern "C" DWORD WINAPI WinHttpAddRequestHeadersEx(HINTERNET request, DWORD modifiers,
                                                   ULONGLONG flags, ULONGLONG extra, DWORD count,
                                                   void* headers);

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"entry") == 0) {
        WinHttpAddRequestHeadersEx(nullptr, 0, 0, 0, 0, nullptr);
        return 2;
    }
    return ::WinHttpCheckPlatform() ? 0 : 1;
}
