#include "wifi/wifi_recovery.h"

#include <exception>

#include "qelcmn/exceptions.h"

namespace qelwifi {

namespace {

bool NoAccessPoint(const AccessPointBuffer& accessPoints) {
    return accessPoints[0].ssid[0] == L'\0';
}

} // namespace

// A failed search or apply (its task raised, or no task could start) or a dialog that failed must
// not leave the screen that runs the recovery: the user sees the failure box, the USB retry
// state is cleared and the screen stays.
template <typename T, typename Body> T WifiRecovery::Guarded(Body body, T failed) {
    try {
        return body();
    } catch (...) {
        Fail();
        return failed;
    }
}

bool WifiRecovery::Fail() {
    screens_.ShowFailure();
    state_.NoteFailureShown();
    return GiveUp();
}

bool WifiRecovery::AfterRegistrationFailure(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const qelcmn::qel_cancel& cancel) {
        switch (cancel.ucode()) {
        case qelcmn::kCodeRetry:
            screens_.ShowRetryLater();
            state_.NoteRetryLaterShown();
            return GiveUp();
        case qelcmn::kCodeUsbRetry:
            return AfterUsbRetry();
        case qelcmn::kCodeUsbRetryFailed:
            return AfterUsbRetryFailed();
        default: // cancelled: nothing to tell
            return GiveUp();
        }
    } catch (const qelcmn::qel_exception&) {
        screens_.ShowFailure();
        state_.NoteFailureShown();
        return false;
    } catch (...) {
        return Fail();
    }
}

bool WifiRecovery::AfterUsbRetry() {
    return Guarded([this] { return RecoverUsbPrinter(); }, false);
}

bool WifiRecovery::AfterUsbRetryFailed() {
    return Guarded([this] { return RunSetupWifi() == 1 || GiveUp(); }, false);
}

int WifiRecovery::SetupWifi() {
    return Guarded([this] { return RunSetupWifi(); }, 0);
}

bool WifiRecovery::GiveUp() {
    state_.SetUsbRetried(false);
    return false;
}

bool WifiRecovery::RecoverUsbPrinter() {
    AccessPointBuffer accessPoints{};
    state_.SetUserAction(kActionAsked);
    if (!screens_.AskToConnect()) {
        return GiveUp();
    }
    state_.SetUsbRetried(true);
    std::wstring ssid;
    std::wstring key;
    const printerutil::stRegSeqResult found = steps_.Search(ssid, key, accessPoints);
    if (NoAccessPoint(accessPoints)) {
        state_.SetUserAction(kActionNoAccessPoint);
        screens_.ShowNoAccessPoint();
        return GiveUp();
    }

    bool notSeen = true;
    if (found.code == printerutil::kResultAccessPointFound) {
        const int answer = screens_.ConfirmNetwork(ssid);
        state_.SetUserAction(kActionConfirmAnswered);
        if (answer == kConfirmUseNetwork) {
            return ApplyOrSetUp(ssid, key);
        }
        if (answer != kManualSetup) {
            return GiveUp();
        }
        state_.SetUserAction(kActionManualSetup);
        notSeen = false;
    } else {
        state_.SetUserAction(kActionNetworkNotSeen);
    }
    std::wstring chosen;
    std::wstring chosenKey;
    if (screens_.ChooseNetwork(accessPoints, notSeen, chosen, chosenKey) != kNetworkChosen) {
        return GiveUp();
    }
    return ApplyOrSetUp(chosen, chosenKey);
}

bool WifiRecovery::ApplyOrSetUp(const std::wstring& ssid, const std::wstring& key) {
    if (steps_.Apply(ssid, key).code == printerutil::kResultAccessPointApplied) {
        return true;
    }
    state_.SetUserAction(kActionApplyFailed);
    return RunSetupWifi() == 1 || GiveUp();
}

int WifiRecovery::RunSetupWifi() {
    // Round the connect-failed dialog until a network is applied or the user leaves.
    for (;;) {
        const int answer = screens_.ConnectFailed();
        AccessPointBuffer accessPoints{};
        state_.SetUserAction(kActionApplyFailed);
        if (answer != kManualSetup) {
            return 0;
        }
        state_.SetUserAction(kActionManualSetup);
        std::wstring unusedSsid;
        std::wstring unusedKey;
        steps_.Search(unusedSsid, unusedKey, accessPoints);
        if (NoAccessPoint(accessPoints)) {
            state_.SetUserAction(kActionNoAccessPoint);
            screens_.ShowNoAccessPoint();
            state_.SetUsbRetried(false);
            return 0;
        }
        std::wstring ssid;
        std::wstring key;
        if (screens_.ChooseNetwork(accessPoints, false, ssid, key) != kNetworkChosen) {
            state_.SetUsbRetried(false);
            return 0;
        }
        if (steps_.Apply(ssid, key).code == printerutil::kResultAccessPointApplied) {
            return 1;
        }
    }
}

} // namespace qelwifi
