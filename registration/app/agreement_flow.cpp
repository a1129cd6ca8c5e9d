// WM_APP+5: the agreement dialog on its own, for a start that only asks for the agreement.
#include "app/TansuApp.h"
#include "screens/agreement_dialog.h"

namespace qelapp {

LRESULT TansuApp::OnAgreement(HWND window) {
    // No flow has loaded the texts on this road; without them the dialog would show only its
    // template's placeholders.
    texts_.Load(facts_.GetLanguageCode());
    qelscreens::AgreementDialog agreement(&texts_, &facts_);
    agreement.DoModal(nullptr);
    system_.PostNext(window, WM_CLOSE, 0);
    return 0;
}

} // namespace qelapp
