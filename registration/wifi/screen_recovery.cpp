#include "wifi/screen_recovery.h"

#include "printerutil/device_starters.h"
#include "screens/run_with_progress.h"
#include "ui/message_box.h"
#include "ui/text_ids.h"
#include "wifi/connect_failed_dialog.h"
#include "wifi/ssid_dialog.h"
#include "wifi/wifi_confirm_dialog.h"

namespace qelwifi {

void DialogWifiScreens::ShowRetryLater() {
    qelui::ShowTextMessageBox(screen_.system, screen_.owner, screen_.texts,
                              qelui::text::kRegistrationRetry, MB_ICONERROR);
}

bool DialogWifiScreens::AskToConnect() {
    return qelui::ShowTextMessageBox(screen_.system, screen_.owner, screen_.texts,
                                     qelui::text::kWifiConnectQuestion,
                                     MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void DialogWifiScreens::ShowNoAccessPoint() {
    qelui::ShowTextMessageBox(screen_.system, screen_.owner, screen_.texts,
                              qelui::text::kWifiNoAccessPoint, MB_ICONERROR);
}

void DialogWifiScreens::ShowFailure() {
    qelui::ShowTextMessageBox(screen_.system, screen_.owner, screen_.texts,
                              qelui::text::kRegistrationFailed, MB_ICONERROR);
}

int DialogWifiScreens::ConfirmNetwork(const std::wstring& ssid) {
    WifiConfirmDialog dialog(&screen_.texts);
    dialog.SetData(screen_.facts, &ssid);
    return static_cast<int>(dialog.DoModal(screen_.owner));
}

int DialogWifiScreens::ChooseNetwork(const AccessPointBuffer& accessPoints, bool pcNetworkNotSeen,
                                     std::wstring& name, std::wstring& key) {
    SsidDialog dialog(&screen_.texts);
    dialog.SetApList(screen_.facts, accessPoints.data(), static_cast<int>(accessPoints.size()),
                     &name, &key, pcNetworkNotSeen);
    return static_cast<int>(dialog.DoModal(screen_.owner));
}

int DialogWifiScreens::ConnectFailed() {
    ConnectFailedDialog dialog(&screen_.texts, screen_.facts);
    return static_cast<int>(dialog.DoModal(screen_.owner));
}

printerutil::stRegSeqResult ProgressAccessPointSteps::Search(std::wstring& ssid, std::wstring& key,
                                                             AccessPointBuffer& accessPoints) {
    return qelscreens::RunWithProgress(
        qelscreens::ProgressDialog::kSearch, owner_, &texts_, L"", [&](qelscreens::CancelFlag*) {
            return printerutil::StartSearchAccessPoints(
                &ssid, &key, printer_.modelName, printer_.serialNumber, printer_.connection,
                accessPoints.data(), static_cast<int>(accessPoints.size()));
        });
}

printerutil::stRegSeqResult ProgressAccessPointSteps::Apply(const std::wstring& ssid,
                                                            const std::wstring& key) {
    return qelscreens::RunWithProgress(
        qelscreens::ProgressDialog::kSearch, owner_, &texts_, L"", [&](qelscreens::CancelFlag*) {
            return printerutil::StartApplyAccessPoint(ssid, key, printer_.modelName,
                                                      printer_.serialNumber, printer_.connection);
        });
}

int SetupWifi(const RecoveryScreen& screen, qelinfo::ApplicationInfo& facts,
              const RecoveryPrinter& printer) {
    FactsRecoveryState state(facts);
    return ScreenWifiRecovery(screen, printer, state).SetupWifi();
}

int SetupWifi(const RecoveryScreen& screen, unsigned char& usbRetryFlag, int& userAction,
              int& sendInfoCode, const RecoveryPrinter& printer) {
    ControllerRecoveryState state(usbRetryFlag, userAction, sendInfoCode);
    return ScreenWifiRecovery(screen, printer, state).SetupWifi();
}

} // namespace qelwifi
