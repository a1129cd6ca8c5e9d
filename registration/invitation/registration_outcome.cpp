// What the invitation screen does when a registration did not complete, as every registering
// screen does it (the shared Wi-Fi recovery): the retry-later box, the failure box, or for a
// printer on USB without Internet the recovery that puts it on a network. The state it leaves
// (USB retry flag, user action, the boxes shown) is the screen's own and travels with its next
// registration or skip notice. Every outcome leaves the screen open for another try or Skip.
#include "invitation/registration_dialog.h"

#include "wifi/recovery_state.h"
#include "wifi/screen_recovery.h"

namespace qelinvitation {

static_assert(kSendInfoRetryShown == qelwifi::ControllerRecoveryState::kRetryLaterShown);
static_assert(kSendInfoFailureShown == qelwifi::ControllerRecoveryState::kFailureShown);

bool RegistrationDialog::AfterRegistrationFailure(const std::exception_ptr& failure) {
    static const qelui::TextLibrary kNoTexts;
    qelwifi::ControllerRecoveryState state(usbRetry_, userAction_, agreement_.sendInfo);
    qelwifi::ScreenWifiRecovery recovery(
        {Window(), Texts() != nullptr ? *Texts() : kNoTexts, facts_, system_},
        {connection_, modelName_, serialNumber_}, state);
    return recovery.AfterRegistrationFailure(failure);
}

} // namespace qelinvitation
