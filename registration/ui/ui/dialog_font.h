// Fonts of the screens: the face that DS_SHELLFONT dialogs use, sized in points for the
// display's pixel density.
#pragma once

#include <windows.h>

#include <string>

#include "win/unique_any.h"

namespace qelui {

inline constexpr wchar_t kShellDialogFace[] = L"MS Shell Dlg 2";

// The font height for CreateFontW: minus points x pixels per inch / 72, rounded by MulDiv.
int FontHeightForPoints(int points, int pixelsPerInch) noexcept;

// The vertical pixels per inch of the window's display (of the screen for a null window), or the
// density a ScopedPixelsPerInch stands for.
int PixelsPerInchY(HWND window) noexcept;

// While one lives, every screen lays itself out and sizes its fonts for this density instead of
// the display's: how tests show the screens at 144 pixels per inch on a display that Wine fixed
// at 96 when the process started. One at a time, on the UI thread.
class ScopedPixelsPerInch {
public:
    explicit ScopedPixelsPerInch(int pixelsPerInch) noexcept;
    ~ScopedPixelsPerInch();
    ScopedPixelsPerInch(const ScopedPixelsPerInch&) = delete;
    ScopedPixelsPerInch& operator=(const ScopedPixelsPerInch&) = delete;

private:
    int previous_;
};

// A shell dialog font of that size and weight (FW_NORMAL, FW_BOLD) for the window's display.
qelwin::unique_hgdiobj CreateShellDialogFont(HWND window, int points, int weight) noexcept;

// Width and height of the text in the font on the window's display, as a static control draws
// it: on one line when wrapWidth is 0, else broken at its words into lines of at most wrapWidth
// pixels (a word longer than that widens the result). Zero when the display cannot be measured.
SIZE TextExtent(HWND window, HFONT font, const std::wstring& text, int wrapWidth) noexcept;

} // namespace qelui
