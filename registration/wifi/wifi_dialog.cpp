#include "wifi/wifi_dialog.h"

#include <algorithm>

#include "resource.h"
#include "ui/center_window.h"
#include "ui/dialog_font.h"
#include "ui/dialog_layout.h"
#include "ui/text_ids.h"

namespace qelwifi {

WifiDialog::WifiDialog(const qelui::TextLibrary* texts, qelinfo::IApplicationInfo* facts,
                       int focusId, std::initializer_list<int> answers) noexcept
    : DialogController(texts), facts_(facts), focusId_(focusId) {
    std::copy_n(answers.begin(), std::min(answers.size(), answers_.size()), answers_.begin());
}

INT_PTR WifiDialog::Open(int resourceId, HWND owner) {
    SetViewModel(nullptr);
    return DoModal(resourceId, owner);
}

void WifiDialog::OnCommand(int id, int) {
    if (id != 0 && std::find(answers_.begin(), answers_.end(), id) != answers_.end()) {
        End(id);
    }
}

INT_PTR WifiDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        break;
    case WM_SHOWWINDOW:
        ::SetFocus(Item(focusId_));
        break;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        break;
    default:
        break;
    }
    return FALSE;
}

void WifiDialog::LayOut(int messageTextId, const std::vector<Control>& controls) {
    HWND dialog = Window();
    qelui::ApplyLayout(dialog, LayOutWifiDialog(qelui::PixelsPerInchY(dialog),
                                                ::GetSystemMetrics(SM_CYSIZE), controls));
    const HFONT labels = OwnFont(9, FW_NORMAL);
    const HFONT buttons = OwnFont(10, FW_NORMAL);
    qelui::SetControlFont(Item(IDC_WIFI_MESSAGE), OwnFont(9, FW_BOLD));
    SetItemText(IDC_WIFI_MESSAGE, messageTextId);
    for (const Control& c : controls) {
        if (c.font != Font::kDialog) {
            qelui::SetControlFont(Item(c.id), c.font == Font::kLabel ? labels : buttons);
        }
        if (c.textId != 0) {
            SetItemText(c.id, c.textId);
        }
    }
    SetCaptionText(qelui::text::kCaption);
    qelui::CenterWindow(dialog);
    ::ShowWindow(dialog, SW_SHOW);
}

} // namespace qelwifi
