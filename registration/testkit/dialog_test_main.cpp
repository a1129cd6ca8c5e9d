// main() of test programs that open the program's dialogs in their own process: the pictures
// they save show the dialogs' frames, and the common controls the dialogs use are registered.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "testkit/screenshot.h"
#include "win/module_path.h"

int main(int argc, char** argv) {
    const std::wstring path = qelwin::ModuleFileName(nullptr);
    qeltest::DrawFramesInPictures(path.substr(path.find_last_of(L'\\') + 1));
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
