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

private:
    qelinfo::ApplicationInfo& facts_;
};

// The invitation screen: its controller's USB retry flag and user action code, which its next
// registration copies into the facts it registers with.
class ControllerRecoveryState final : public IRecoveryState {
public:
    ControllerRecoveryState(unsigned char& usbRetryFlag, int& userAction) noexcept
        : usbRetryFlag_(usbRetryFlag), userAction_(userAction) {}
    void SetUserAction(int code) override { userAction_ = code; }
    void SetUsbRetried(bool retried) override { usbRetryFlag_ = retried ? 1 : 0; }

private:
    unsigned char& usbRetryFlag_;
    int& userAction_;
};

} // namespace qelwifi
