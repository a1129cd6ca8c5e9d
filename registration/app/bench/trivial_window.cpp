// The start benchmark's baseline: a program that only shows a box, so that the time to its window
// is what Wine itself takes to start a windowed program and show a window.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ::MessageBoxW(nullptr, L"", L"", MB_OK);
    return 0;
}
