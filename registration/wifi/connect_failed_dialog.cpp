#include "wifi/connect_failed_dialog.h"

#include "resource.h"
#include "ui/text_ids.h"

namespace qelwifi {

ConnectFailedDialog::ConnectFailedDialog(const qelui::TextLibrary* texts,
                                         qelinfo::IApplicationInfo* facts) noexcept
    : WifiDialog(texts, facts, IDC_WIFI_MANUAL, {IDC_WIFI_MANUAL, IDC_WIFI_CANCEL, IDCANCEL}) {}

INT_PTR ConnectFailedDialog::DoModal(HWND owner) {
    return Open(IDD_CONNECT_FAILED, owner);
}

void ConnectFailedDialog::OnInitDialog() {
    namespace text = qelui::text;
    LayOut(text::kWifiConnectFailed, Controls());
}

const std::vector<WifiControl>& ConnectFailedDialog::Controls() {
    namespace text = qelui::text;
    static const std::vector<WifiControl> controls = {
        {IDC_WIFI_MANUAL, 227, kButtonRow, 170, 0, Font::kButton, text::kWifiManualSetup},
        {IDC_WIFI_CANCEL, 410, kButtonRow, 170, 0, Font::kButton, text::kButtonCancel},
    };
    return controls;
}

} // namespace qelwifi
