// main() of test programs that open the program's dialogs in their own process: the common
// controls the dialogs use are registered.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "qeltest/run_all_tests.h"

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    return qeltest::RunAllTests();
}
