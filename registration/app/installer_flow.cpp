// WM_APP+4: a start by the maker's installer. "-OB" reopens the page a "-REG2" start kept;
// "-REG2" registers the printer with no window at all and keeps the page; every other start
// shows the invitation screen when there is something to invite to.
#include "app/TansuApp.h"
#include "printerutil/result_report.h"
#include "winutil/open_page.h"
#include "winutil/registry_values.h"

namespace qelapp {

LRESULT TansuApp::OnInstallerFlow(HWND window) {
    try {
        RunInstallerFlow(window);
    } catch (...) {
        // The installer runs the program unattended: whatever failed, it ends without a word.
        // A reopening that failed before it took the kept page still ends with none kept.
        if (options_->GetSubOption() == CommandLineOptions::kOb) {
            qelwinutil::SaveRegUrl(L"");
        }
    }
    system_.PostNext(window, WM_CLOSE, 0);
    return 0;
}

void TansuApp::RunInstallerFlow(HWND window) {
    texts_.Load(options_->GetThirdString());
    const int subOption = options_->GetSubOption();
    if (subOption == CommandLineOptions::kOb) {
        ReopenKeptPage();
        return;
    }
    const bool silent = subOption == CommandLineOptions::kReg2;
    const printerutil::DeviceList printers = LookUpPrinter(window, !silent);
    const bool content = PrepareInviteContentFor(printers);
    if (silent) {
        if (!printers.empty()) {
            RegisterPreplyDevice(window, printers);
        }
        return;
    }
    if (content) {
        ShowInvitation(printers);
    }
}

void TansuApp::ReopenKeptPage() {
    // The kept page serves one reopening, whether or not a page opens. It goes before the open:
    // an open that fails, or faults inside the shell, must not leave it for every later start.
    std::wstring kept = qelwinutil::ReadRegUrl();
    qelwinutil::SaveRegUrl(L"");
    // A kept value that is no web page counts as none kept, as a refused page does when kept.
    if (!qelwinutil::IsWebPageAddress(kept)) {
        kept.clear();
    }
    // An empty installer key names the device's own key.
    const std::wstring base = qelwinutil::FindInstalledDeviceUfUrl(options_->GetFirstString(),
                                                                   options_->GetFourthString());
    if (qelwinutil::IsWebPageAddress(base)) {
        system_.OpenPage(printerutil::MakeResultUrl(base, kept));
    }
}

} // namespace qelapp
