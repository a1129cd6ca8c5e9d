#include "wifi/wifi_confirm_dialog.h"

#include "resource.h"
#include "ui/text_ids.h"
#include "wifi/wifi_recovery.h"

namespace qelwifi {

static_assert(IDC_WIFI_OK == kConfirmUseNetwork && IDC_WIFI_CANCEL == kCancel &&
              IDC_WIFI_MANUAL == kManualSetup && IDCANCEL == kClosed);

std::wstring PrinterLabel(qelinfo::IApplicationInfo* facts) {
    if (facts == nullptr) {
        return {};
    }
    return facts->GetDeviceName() + L"(" + facts->GetSerialNumber() + L")";
}

WifiConfirmDialog::WifiConfirmDialog(const qelui::TextLibrary* texts) noexcept
    : WifiDialog(texts, nullptr, IDC_WIFI_OK,
                 {IDC_WIFI_OK, IDC_WIFI_CANCEL, IDC_WIFI_MANUAL, IDCANCEL}) {}

void WifiConfirmDialog::SetData(qelinfo::IApplicationInfo* facts,
                                const std::wstring* ssid) noexcept {
    SetFacts(facts);
    ssid_ = ssid;
}

INT_PTR WifiConfirmDialog::DoModal(HWND owner) {
    return Open(IDD_WIFI_CONFIRM, owner);
}

void WifiConfirmDialog::OnInitDialog() {
    namespace text = qelui::text;
    // The printer and the network show also without a text library.
    ::SetDlgItemTextW(Window(), IDC_WIFI_PRINTER, PrinterLabel(Facts()).c_str());
    ::SetDlgItemTextW(Window(), IDC_WIFI_NETWORK, ssid_ != nullptr ? ssid_->c_str() : L"");
    LayOut(text::kWifiConfirmMessage, Controls());
}

const std::vector<WifiControl>& WifiConfirmDialog::Controls() {
    namespace text = qelui::text;
    static const std::vector<WifiControl> controls = {
        {IDC_WIFI_UPPER_LABEL, 20, 60, 170, 20, Font::kLabel, text::kWifiPrinterLabel},
        {IDC_WIFI_NETWORK_LABEL, 20, 80, 170, 20, Font::kLabel, text::kWifiNetworkLabel},
        {IDC_WIFI_PRINTER, 190, 60, 400, 20, Font::kLabel, 0},
        {IDC_WIFI_NETWORK, 190, 80, 400, 20, Font::kLabel, 0},
        {IDC_WIFI_OK, 44, kButtonRow, 170, 0, Font::kButton, text::kButtonOk},
        {IDC_WIFI_CANCEL, 227, kButtonRow, 170, 0, Font::kButton, text::kButtonCancel},
        {IDC_WIFI_MANUAL, 410, kButtonRow, 170, 0, Font::kButton, text::kWifiManualSetup},
    };
    return controls;
}

} // namespace qelwifi
