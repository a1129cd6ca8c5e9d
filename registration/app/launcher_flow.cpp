// WM_APP+9: a start by the maker's launcher. "-LOGIN" and "-ADS" go on to their service page;
// every other start asks for the agreement and registers the printer looked up by "-REG".
#include "app/TansuApp.h"
#include "app/app_messages.h"
#include "screens/agreement_dialog.h"
#include "ui/message_box.h"
#include "ui/text_ids.h"

namespace qelapp {

LRESULT TansuApp::OnLauncherFlow(HWND window) {
    UINT next = WM_CLOSE;
    try {
        next = RunLauncherFlow(window);
    } catch (...) {
        ShowFlowFailure(window);
        next = WM_CLOSE;
    }
    system_.PostNext(window, next, 0);
    return 0;
}

UINT TansuApp::RunLauncherFlow(HWND window) {
    texts_.Load(facts_.GetLanguageCode());
    const int subOption = options_->GetSubOption();
    printerutil::DeviceList printers;
    if (subOption == CommandLineOptions::kReg) {
        printers = LookUpPrinter(window, true);
    }
    if (!PrepareInviteContentFor(printers)) {
        return WM_CLOSE;
    }
    if (subOption == CommandLineOptions::kLogin) {
        return kMsgLoginPage;
    }
    if (subOption == CommandLineOptions::kAds) {
        return kMsgServiceInfoPage;
    }
    qelscreens::AgreementDialog agreement(&texts_, &facts_);
    if (agreement.DoModal(window) == qelscreens::AgreementDialog::kAgreed && !printers.empty()) {
        RegisterHDDevice(window, printers);
    }
    return WM_CLOSE;
}

void TansuApp::ShowFlowFailure(HWND window) noexcept {
    try {
        qelui::ShowTextMessageBox(system_, window, texts_, qelui::text::kRegistrationFailed,
                                  MB_ICONERROR);
    } catch (...) {
        // Nothing more to tell with: the run ends all the same.
    }
}

} // namespace qelapp
