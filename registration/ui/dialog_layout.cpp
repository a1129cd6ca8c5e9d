#include "ui/dialog_layout.h"

namespace qelui {

void SetClientSize(HWND window, int width, int height) noexcept {
    RECT outer{};
    RECT client{};
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &client);
    ::SetWindowPos(window, nullptr, 0, 0, (outer.right - outer.left) - client.right + width,
                   (outer.bottom - outer.top) - client.bottom + height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceControl(HWND control, int x, int y, int width, int height) noexcept {
    ::MoveWindow(control, x, y, width, height, TRUE);
}

void SetControlFont(HWND control, HFONT font) noexcept {
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

} // namespace qelui
