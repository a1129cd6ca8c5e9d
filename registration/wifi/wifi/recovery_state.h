// Where each screen keeps the recovery state that its next registration reports.
#pragma once

#include "qelinfo/ApplicationInfo.h"
#include "wifi/wifi_recovery.h"

namespace qelwifi {

// The printer list: the application's own facts (USB retry count 1 or 0, the user action).
class FactsRecoveryState final : public IRecoveryState {
public:
    explicit FactsRecoveryState(qelinfo::ApplicationInfo& facts) noexcept : facts_(facts) {}
    void SetUserAction(int code) override { facts_.SetUserAction(code); }
    void SetUsbRetried(bool retried) override { facts_.SetUsbRetried(retried ? 1 : 0); }
    // The printer list reports neither box.
    void NoteRetryLaterShown() override {}
    void NoteFailureShown() override {}

private:
    qelinfo::ApplicationInfo& facts_;
};

// The invitation screen: its controller's USB retry flag, user action code and send-info bits,
// which its next registration copies into the facts it registers with.
class ControllerRecoveryState final : public IRecoveryState {
public:
    static constexpr int kRetryLaterShown = 0x08;
    static constexpr int kFailureShown = 0x10;

    ControllerRecoveryState(unsigned char& usbRetryFlag, int& userAction,
                            int& sendInfoCode) noexcept
        : usbRetryFlag_(usbRetryFlag), userAction_(userAction), sendInfoCode_(sendInfoCode) {}
    void SetUserAction(int code) override { userAction_ = code; }
    void SetUsbRetried(bool retried) override { usbRetryFlag_ = retried ? 1 : 0; }
    void NoteRetryLaterShown() override { sendInfoCode_ |= kRetryLaterShown; }
    void NoteFailureShown() override { sendInfoCode_ |= kFailureShown; }

private:
    unsigned char& usbRetryFlag_;
    int& userAction_;
    int& sendInfoCode_;
};

} // namespace qelwifi
