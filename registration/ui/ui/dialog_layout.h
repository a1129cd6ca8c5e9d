// Laying out a dialog in pixels when it initialises: its client area, its controls' places and
// fonts.
#pragma once

#include <windows.h>

namespace qelui {

// Sizes the window so that its client area is width x height pixels; its position stays.
void SetClientSize(HWND window, int width, int height) noexcept;

// Moves the control to (x, y) in its parent's client area with that size, and repaints it.
void PlaceControl(HWND control, int x, int y, int width, int height) noexcept;

// The control draws with the font from now on (the caller keeps the font alive).
void SetControlFont(HWND control, HFONT font) noexcept;

} // namespace qelui
