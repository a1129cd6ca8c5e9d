#include "wifi/wifi_dialog.h"

#include "resource.h"
#include "ui/center_window.h"
#include "ui/dialog_font.h"
#include "ui/text_ids.h"

namespace qelwifi {

namespace {

constexpr int kClientWidth = 600;
constexpr int kClientHeight = 320;

void Place(HWND control, int x, int y, int width, int height) noexcept {
    ::MoveWindow(control, x, y, width, height, TRUE);
}

void SetFont(HWND control, HFONT font) noexcept {
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

} // namespace

INT_PTR WifiDialog::Open(int resourceId, HWND owner) {
    SetViewModel(nullptr);
    return DoModal(resourceId, owner);
}

void WifiDialog::LayOut(int messageTextId, std::initializer_list<Control> controls) {
    HWND dialog = Window();
    RECT outer{};
    RECT client{};
    ::GetWindowRect(dialog, &outer);
    ::GetClientRect(dialog, &client);
    ::SetWindowPos(dialog, nullptr, 0, 0, (outer.right - outer.left) - client.right + kClientWidth,
                   (outer.bottom - outer.top) - client.bottom + kClientHeight -
                       ::GetSystemMetrics(SM_CYSIZE),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const int line = ::MulDiv(9, qelui::PixelsPerInchY(dialog), 72) + 4;
    const HFONT labels = OwnFont(9, FW_NORMAL);
    const HFONT buttons = OwnFont(10, FW_NORMAL);
    Place(Item(IDC_WIFI_MESSAGE), 20, 20, 560, 2 * line);
    SetFont(Item(IDC_WIFI_MESSAGE), OwnFont(9, FW_BOLD));
    SetItemText(IDC_WIFI_MESSAGE, messageTextId);
    for (const Control& c : controls) {
        const bool onButtonRow = c.y == kButtonRow;
        Place(Item(c.id), c.x, onButtonRow ? 4 * line + 194 : c.y, c.width,
              onButtonRow ? 25 : c.height);
        if (c.font != Font::kDialog) {
            SetFont(Item(c.id), c.font == Font::kLabel ? labels : buttons);
        }
        if (c.textId != 0) {
            SetItemText(c.id, c.textId);
        }
    }
    Place(Item(IDC_SEPARATOR), 0, 240, kClientWidth, 1);
    SetCaptionText(qelui::text::kCaption);
    qelui::CenterWindow(dialog);
    ::ShowWindow(dialog, SW_SHOW);
}

} // namespace qelwifi
