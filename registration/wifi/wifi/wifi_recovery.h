// What a registering screen does when its registration fails, and above all the Wi-Fi recovery
// of a USB printer that cannot reach the Internet, shared by every screen that registers a
// printer: ask, search the access points through the printer, confirm the PC's network or let
// the user choose one, apply it, and after a failed apply go round the connect-failed dialog
// until a network is applied or the user gives up. The decisions are written once here against
// three small interfaces: the screens it shows, the device steps it runs and the recovery state
// it leaves for the next registration's report.
#pragma once

#include <exception>
#include <string>

#include "printerutil/registration_records.h"
#include "wifi/access_points.h"

namespace qelwifi {

// Answers of the recovery dialogs (their button ids; Escape and the close box give kClosed).
inline constexpr int kClosed = 2;
inline constexpr int kConfirmUseNetwork = 1050; // confirmation: connect to the shown network
inline constexpr int kCancel = 1051;            // confirmation and connect-failed: Cancel
inline constexpr int kManualSetup = 1052;       // confirmation and connect-failed
inline constexpr int kNetworkChosen = 1057;     // network name: OK, name and key given
inline constexpr int kNetworkCancel = 1058;     // network name: Cancel

// User action codes that the recovery leaves for the report of the next registration.
enum UserAction : int {
    kActionAsked = 2,           // the USB question is about to be shown
    kActionConfirmAnswered = 3, // the confirmation dialog was answered
    kActionApplyFailed = 4,     // the Wi-Fi setup flow starts
    kActionNoAccessPoint = 5,   // the printer saw no access point at all
    kActionManualSetup = 6,     // the user chose to set the network up by hand
    kActionNetworkNotSeen = 7,  // the printer does not see the PC's network
};

// What the recovery shows. Dialog results are the answers above.
class IWifiScreens {
public:
    virtual ~IWifiScreens() = default;
    // The registration is to be tried again later.
    virtual void ShowRetryLater() = 0;
    // The registration failed (or a step of the recovery itself did).
    virtual void ShowFailure() = 0;
    // Whether to connect the USB printer to the network: true for OK.
    virtual bool AskToConnect() = 0;
    virtual void ShowNoAccessPoint() = 0;
    // The printer sees the PC's network ssid: use it, set up by hand, or cancel.
    virtual int ConfirmNetwork(const std::wstring& ssid) = 0;
    // A network from the names and its key; name and key are written only on kNetworkChosen.
    // pcNetworkNotSeen chooses the message (the printer does not see the PC's network, or the
    // user asked for manual setup).
    virtual int ChooseNetwork(const AccessPointBuffer& accessPoints, bool pcNetworkNotSeen,
                              std::wstring& name, std::wstring& key) = 0;
    virtual int ConnectFailed() = 0;
};

// The device steps, each a background operation the screen waits for.
class IAccessPointSteps {
public:
    virtual ~IAccessPointSteps() = default;
    // Code 6 when the printer sees the PC's network (then ssid and key hold it); the names of
    // what it saw go to accessPoints.
    virtual printerutil::stRegSeqResult Search(std::wstring& ssid, std::wstring& key,
                                               AccessPointBuffer& accessPoints) = 0;
    // Code 7 when the network was written into the printer.
    virtual printerutil::stRegSeqResult Apply(const std::wstring& ssid,
                                              const std::wstring& key) = 0;
};

// Where the recovery keeps what the next registration reports: the application facts (printer
// list) or the invitation screen's own fields.
class IRecoveryState {
public:
    virtual ~IRecoveryState() = default;
    virtual void SetUserAction(int code) = 0;
    // Set while a recovery runs (the next failure for want of Internet is then a failed
    // recovery); cleared on every way out that does not register again.
    virtual void SetUsbRetried(bool retried) = 0;
    // The retry-later box or the failure box was shown (the invitation screen reports it).
    virtual void NoteRetryLaterShown() = 0;
    virtual void NoteFailureShown() = 0;
};

class WifiRecovery {
public:
    WifiRecovery(IWifiScreens& screens, IAccessPointSteps& steps, IRecoveryState& state) noexcept
        : screens_(screens), steps_(steps), state_(state) {}

    // The screen's registration ended with this failure (from its catch). True when the screen
    // registers again. By the failure:
    //   qelcmn::qel_cancel 0x82080103    the retry-later box; the USB retry state cleared
    //                      0x82080104    AfterUsbRetry
    //                      0x82080106    AfterUsbRetryFailed
    //                      any other     nothing shown; the USB retry state cleared
    //   another qelcmn::qel_exception    the failure box
    //   anything else                    the failure box; the USB retry state cleared
    bool AfterRegistrationFailure(const std::exception_ptr& failure);

    // The registration failed because the USB printer has no Internet, for the first time. True
    // when a network was applied and the caller registers again.
    bool AfterUsbRetry();

    // It failed that way again after a recovery: the Wi-Fi setup flow. True as above.
    bool AfterUsbRetryFailed();

    // The Wi-Fi setup flow on its own: 1 when a network was applied, 0 otherwise.
    int SetupWifi();

    // Each entry point catches what its steps and dialogs raise: the failure box, the USB retry
    // state cleared, no new registration, and the screen stays.

private:
    bool RecoverUsbPrinter();
    bool Fail();
    bool ApplyOrSetUp(const std::wstring& ssid, const std::wstring& key);
    int RunSetupWifi();
    bool GiveUp();
    template <typename T, typename Body> T Guarded(Body body, T failed);

    IWifiScreens& screens_;
    IAccessPointSteps& steps_;
    IRecoveryState& state_;
};

} // namespace qelwifi
