#include "invitation/send_info.h"

#include "resource.h"

namespace qelinvitation {

bool NoteInstallerRecord(AgreementState& state, std::optional<DWORD> record) {
    if (!record) {
        return false;
    }
    state.agreement = static_cast<int>(*record);
    if (*record != kUserAgreed) {
        return false;
    }
    state.sendInfo |= kSendInfoInstallerAgreed;
    return true;
}

bool SettleAgreement(AgreementState& state,
                     const std::function<std::optional<DWORD>()>& lookUpRecord,
                     const std::function<INT_PTR()>& ask) {
    if (state.agreement == kUserAgreed || NoteInstallerRecord(state, lookUpRecord())) {
        return true;
    }
    switch (ask()) {
    case IDC_AGREE:
        state.sendInfo |= kSendInfoUserAgreed;
        state.agreement = kUserAgreed;
        return true;
    case IDC_DISAGREE:
        state.sendInfo |= kSendInfoUserDeclined;
        return false;
    default:
        return false;
    }
}

} // namespace qelinvitation
