// What the invitation screen does when a registration did not complete. Outcomes are told apart
// by the code of the cancel exception only; no exception's own message is ever shown. Every
// handled outcome leaves the screen open for another try or Skip.
#include "invitation/registration_dialog.h"

#include "ui/message_box.h"
#include "ui/text_ids.h"

namespace qelinvitation {

void RegistrationDialog::ShowBox(int textId, UINT style) {
    static const qelui::TextLibrary kNoTexts;
    qelui::ShowTextMessageBox(system_, Window(), Texts() != nullptr ? *Texts() : kNoTexts, textId,
                              style);
}

int RegistrationDialog::OnRegisterCanceled(const qelcmn::qel_cancel& outcome) {
    if (outcome.ucode() == qelcmn::kCodeRetry) {
        ShowBox(qelui::text::kRegistrationRetry, MB_ICONERROR);
        agreement_.sendInfo |= kSendInfoRetryShown;
    }
    usbRetry_ = 0;
    return 0;
}

int RegistrationDialog::OnRegisterError() {
    ShowBox(qelui::text::kRegistrationFailed, MB_ICONERROR);
    agreement_.sendInfo |= kSendInfoFailureShown;
    return 0;
}

int RegistrationDialog::OnUnexpectedFailure() {
    usbRetry_ = 0;
    return OnRegisterError();
}

} // namespace qelinvitation
