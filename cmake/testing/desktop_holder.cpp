// qel_desktop_holder <ready file>
// Holds the Wine desktop open for a whole test run and never ends by itself (the run's Wine
// server stops it). Wine starts the desktop process from whichever program first needs the
// desktop and hands it that program's error output; the desktop then lives while any program
// uses it. Started by a test program, it would keep that test's output pipe open for as long as
// other tests show windows, and ctest would wait for the end of that output until the test's
// time-out although the program had ended. Started from here, with no output of anyone's, and
// held, it never restarts during the run. The ready file is written once the desktop stands.
#include <windows.h>

#include "win/unique_any.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        return 2;
    }
    // Asking for the desktop window starts the desktop and waits until it stands; from then on
    // this process counts as one of its users.
    if (::GetDesktopWindow() == nullptr) {
        return 1;
    }
    const qelwin::unique_file ready(::CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr,
                                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                  nullptr));
    if (!ready) {
        return 1;
    }
    for (;;) {
        ::Sleep(INFINITE);
    }
}
