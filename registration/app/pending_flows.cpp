// The flows whose screens are still to come. Until a flow has its screens, its start ends the
// run cleanly: the hidden window closes and the program exits with 0.
#include "app/TansuApp.h"

namespace qelapp {

LRESULT TansuApp::OnInstallerFlow(HWND window) {
    system_.PostNext(window, WM_CLOSE, 0);
    return 0;
}

LRESULT TansuApp::OnServicePage(HWND window, UINT) {
    system_.PostNext(window, WM_CLOSE, 0);
    return 0;
}

LRESULT TansuApp::OnLauncherFlow(HWND window) {
    system_.PostNext(window, WM_CLOSE, 0);
    return 0;
}

} // namespace qelapp
