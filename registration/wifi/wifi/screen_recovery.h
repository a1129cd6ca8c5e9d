// The Wi-Fi recovery as a registering screen runs it: the real dialogs and boxes over the
// screen's dialog, the access-point steps through the printer under the search progress dialog,
// and the recovery state where the screen keeps it. The printer list keeps that state in the
// application facts (FactsRecoveryState), the invitation screen in its controller's fields
// (ControllerRecoveryState).
#pragma once

#include <windows.h>

#include <string>

#include <vtqeldevc/vtqeldevc.h>

#include "qelinfo/ApplicationInfo.h"
#include "ui/TextLibrary.h"
#include "ui/system.h"
#include "wifi/recovery_state.h"
#include "wifi/wifi_recovery.h"

namespace qelwifi {

// The printer the recovery works on: the USB printer that the registration failed for.
struct RecoveryPrinter {
    DeviceConnection connection{};
    std::wstring modelName;
    std::wstring serialNumber;
};

// What the screen lends the recovery while it runs.
struct RecoveryScreen {
    HWND owner;                       // the screen's dialog: owner of every box and dialog
    const qelui::TextLibrary& texts;  // the screen's texts
    qelinfo::IApplicationInfo* facts; // the confirmation shows its device name and serial
    qelui::ISystem& system;           // message boxes
};

// The dialogs 147, 148, 149 and the boxes 11009, 11003, 17001 and 17016, over the screen's
// dialog.
class DialogWifiScreens final : public IWifiScreens {
public:
    explicit DialogWifiScreens(const RecoveryScreen& screen) noexcept : screen_(screen) {}

    void ShowRetryLater() override;
    bool AskToConnect() override;
    void ShowNoAccessPoint() override;
    void ShowFailure() override;
    int ConfirmNetwork(const std::wstring& ssid) override;
    int ChooseNetwork(const AccessPointBuffer& accessPoints, bool pcNetworkNotSeen,
                      std::wstring& name, std::wstring& key) override;
    int ConnectFailed() override;

private:
    RecoveryScreen screen_;
};

// The access-point search and apply through the printer, each under the search progress dialog
// over the screen's dialog (empty caption).
class ProgressAccessPointSteps final : public IAccessPointSteps {
public:
    ProgressAccessPointSteps(const RecoveryScreen& screen, RecoveryPrinter printer) noexcept
        : owner_(screen.owner), texts_(screen.texts), printer_(std::move(printer)) {}

    printerutil::stRegSeqResult Search(std::wstring& ssid, std::wstring& key,
                                       AccessPointBuffer& accessPoints) override;
    printerutil::stRegSeqResult Apply(const std::wstring& ssid, const std::wstring& key) override;

private:
    HWND owner_;
    const qelui::TextLibrary& texts_;
    RecoveryPrinter printer_;
};

// One screen's handling of one failed registration. A screen registers like this:
//
//   try {
//       ... run the registration, open the page ...
//       return 1;
//   } catch (...) {
//       FactsRecoveryState state(facts);   // or ControllerRecoveryState(fields...)
//       ScreenWifiRecovery recovery({dialog, texts, &facts, system}, printer, state);
//       return recovery.AfterRegistrationFailure(std::current_exception()) ? Register() : 0;
//   }
class ScreenWifiRecovery {
public:
    ScreenWifiRecovery(const RecoveryScreen& screen, RecoveryPrinter printer,
                       IRecoveryState& state) noexcept
        : screens_(screen), steps_(screen, std::move(printer)), recovery_(screens_, steps_, state) {
    }

    // See WifiRecovery.
    bool AfterRegistrationFailure(const std::exception_ptr& failure) {
        return recovery_.AfterRegistrationFailure(failure);
    }
    bool AfterUsbRetry() { return recovery_.AfterUsbRetry(); }
    bool AfterUsbRetryFailed() { return recovery_.AfterUsbRetryFailed(); }
    int SetupWifi() { return recovery_.SetupWifi(); }

private:
    DialogWifiScreens screens_;
    ProgressAccessPointSteps steps_;
    WifiRecovery recovery_;
};

// The Wi-Fi setup flow of the printer list, its state in the application facts: 1 when a
// network was applied to the printer, 0 otherwise.
int SetupWifi(const RecoveryScreen& screen, qelinfo::ApplicationInfo& facts,
              const RecoveryPrinter& printer);

// The Wi-Fi setup flow of the invitation screen, its state in the controller's USB retry flag,
// user action code and send-info bits.
int SetupWifi(const RecoveryScreen& screen, unsigned char& usbRetryFlag, int& userAction,
              int& sendInfoCode, const RecoveryPrinter& printer);

} // namespace qelwifi
