// Laying out a dialog in pixels when it initialises: its client area, its controls' places and
// fonts.
#pragma once

#include <windows.h>

#include <vector>

namespace qelui {

// The screens' pixel layouts are drawn for 96 pixels per inch, where their fonts are as tall as
// the layout expects; at another density every length grows with the fonts (MulDiv rounding).
inline constexpr int kDesignPixelsPerInch = 96;
int ScaleToDensity(int pixels, int pixelsPerInch) noexcept;

// Where a pixel layout puts one control: x, y, width and height in its dialog's client area.
struct ControlPlace {
    int id;
    int x;
    int y;
    int width;
    int height;
    bool operator==(const ControlPlace&) const = default;
};

// A dialog's pixel layout: its client area and where its controls go.
struct PixelLayout {
    SIZE client{};
    std::vector<ControlPlace> controls;
};

// Sizes the dialog's client area and places its controls.
void ApplyLayout(HWND dialog, const PixelLayout& layout) noexcept;

// Sizes the window so that its client area is width x height pixels; its position stays.
void SetClientSize(HWND window, int width, int height) noexcept;

// Moves the control to (x, y) in its parent's client area with that size, and repaints it.
void PlaceControl(HWND control, int x, int y, int width, int height) noexcept;

// The control draws with the font from now on (the caller keeps the font alive).
void SetControlFont(HWND control, HFONT font) noexcept;

} // namespace qelui
