#include <windows.h>

#include "app/TansuApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return qelapp::RunApplication(instance);
}
