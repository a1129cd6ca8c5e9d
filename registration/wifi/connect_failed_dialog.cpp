#include "wifi/connect_failed_dialog.h"

#include "resource.h"
#include "ui/text_ids.h"

namespace qelwifi {

INT_PTR ConnectFailedDialog::DoModal(HWND owner) {
    return Open(IDD_CONNECT_FAILED, owner);
}

INT_PTR ConnectFailedDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    namespace text = qelui::text;
    switch (message) {
    case WM_INITDIALOG:
        LayOut(text::kWifiConnectFailed,
               {
                   {IDC_WIFI_MANUAL, 227, kButtonRow, 170, 0, Font::kButton, text::kWifiManualSetup},
                   {IDC_WIFI_CANCEL, 410, kButtonRow, 170, 0, Font::kButton, text::kButtonCancel},
               });
        return FALSE;
    case WM_SHOWWINDOW:
        ::SetFocus(Item(IDC_WIFI_MANUAL));
        return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDC_WIFI_MANUAL || id == IDC_WIFI_CANCEL || id == IDCANCEL) {
            End(id);
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

} // namespace qelwifi
