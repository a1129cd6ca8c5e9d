#include "ui/dialog_font.h"

namespace qelui {

namespace {

// 0: the display's own.
int g_standInPixelsPerInch = 0;

} // namespace

ScopedPixelsPerInch::ScopedPixelsPerInch(int pixelsPerInch) noexcept
    : previous_(g_standInPixelsPerInch) {
    g_standInPixelsPerInch = pixelsPerInch;
}

ScopedPixelsPerInch::~ScopedPixelsPerInch() {
    g_standInPixelsPerInch = previous_;
}

int FontHeightForPoints(int points, int pixelsPerInch) noexcept {
    return -::MulDiv(points, pixelsPerInch, 72);
}

int PixelsPerInchY(HWND window) noexcept {
    if (g_standInPixelsPerInch > 0) {
        return g_standInPixelsPerInch;
    }
    HDC dc = ::GetDC(window);
    if (dc == nullptr) {
        return 96;
    }
    const int pixels = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(window, dc);
    return pixels > 0 ? pixels : 96;
}

qelwin::unique_hgdiobj CreateShellDialogFont(HWND window, int points, int weight) noexcept {
    return qelwin::unique_hgdiobj(
        ::CreateFontW(FontHeightForPoints(points, PixelsPerInchY(window)), 0, 0, 0, weight, FALSE,
                      FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kShellDialogFace));
}

SIZE TextExtent(HWND window, HFONT font, const std::wstring& text, int wrapWidth) noexcept {
    SIZE size{0, 0};
    HDC dc = ::GetDC(window);
    if (dc == nullptr) {
        return size;
    }
    HGDIOBJ previous = ::SelectObject(dc, font);
    const int length = static_cast<int>(text.size());
    if (wrapWidth > 0) {
        RECT box{0, 0, wrapWidth, 0};
        ::DrawTextW(dc, text.c_str(), length, &box, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        size = {box.right - box.left, box.bottom - box.top};
    } else {
        ::GetTextExtentPoint32W(dc, text.c_str(), length, &size);
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(window, dc);
    return size;
}

} // namespace qelui
