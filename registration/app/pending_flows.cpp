// The flows whose screens are still to come. Until a flow has its screens, its start ends the
// run cleanly: the hidden window closes and the program exits with 0.
#include "app/TansuApp.h"
#include "app/post_next.h"

namespace qelapp {

namespace {

LRESULT EndRun(HWND window) {
    PostNextOrEnd(window, WM_CLOSE);
    return 0;
}

} // namespace

LRESULT TansuApp::OnPrinterList(HWND window) {
    return EndRun(window);
}

LRESULT TansuApp::OnInstallerFlow(HWND window) {
    return EndRun(window);
}

LRESULT TansuApp::OnAgreement(HWND window) {
    return EndRun(window);
}

LRESULT TansuApp::OnServicePage(HWND window, UINT) {
    return EndRun(window);
}

LRESULT TansuApp::OnLauncherFlow(HWND window) {
    return EndRun(window);
}

} // namespace qelapp
