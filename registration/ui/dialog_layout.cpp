#include "ui/dialog_layout.h"

namespace qelui {

int ScaleToDensity(int pixels, int pixelsPerInch) noexcept {
    return ::MulDiv(pixels, pixelsPerInch, kDesignPixelsPerInch);
}

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

void ApplyLayout(HWND dialog, const PixelLayout& layout) noexcept {
    SetClientSize(dialog, layout.client.cx, layout.client.cy);
    for (const ControlPlace& place : layout.controls) {
        PlaceControl(::GetDlgItem(dialog, place.id), place.x, place.y, place.width, place.height);
    }
}

void SetControlFont(HWND control, HFONT font) noexcept {
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

} // namespace qelui
