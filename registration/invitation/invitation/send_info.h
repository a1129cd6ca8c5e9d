// The send-info code of the invitation screen: what happened about the user's agreement and the
// boxes shown, reported to the gateway with the next registration or the skip notice; and how
// the agreement is settled before a registration.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

namespace qelinvitation {

enum SendInfoBit : int {
    kSendInfoInstallerAgreed = 0x01, // the installer's record says the user agreed
    kSendInfoUserAgreed = 0x02,      // Agree in the agreement dialog
    kSendInfoUserDeclined = 0x04,    // Disagree in the agreement dialog
    kSendInfoRetryShown = 0x08,      // the box that asks to try again later was shown
    kSendInfoFailureShown = 0x10,    // the registration failure box was shown
};

// The only value of the user agreement that lets a registration run.
inline constexpr int kUserAgreed = 1;

struct AgreementState {
    int agreement = 0; // 0: nothing on record; the installer's value; 1 after Agree
    int sendInfo = 0;  // SendInfoBit set
};

// The installer's record ("SEND_INFO_AGREE"), when there is one, becomes the agreement; the
// value 1 also sets kSendInfoInstallerAgreed. True when the record says the user agreed.
bool NoteInstallerRecord(AgreementState& state, std::optional<DWORD> record);

// Before a registration: nothing more when the user agreed already; else the installer's record
// (lookUpRecord), else the agreement dialog (ask() gives its answer, IDC_AGREE or IDC_DISAGREE).
// True when the user agreed.
bool SettleAgreement(AgreementState& state,
                     const std::function<std::optional<DWORD>()>& lookUpRecord,
                     const std::function<INT_PTR()>& ask);

} // namespace qelinvitation
