// The pictures of the invitation screen: a bitmap that belongs to one control of the dialog and
// is drawn at its own size (grown with the display's density) with one colour left out, and the
// loading of the PNG pictures that lie beside the program.
#pragma once

#include <windows.h>

#include <string>

#include "win/unique_any.h"

namespace qelinvitation {

// Draws the bitmap at its own size with its top left corner at (x, y); pixels of the key colour
// are left as they were. The pictures are drawn for 96 pixels per inch: at another density they
// grow with the layout (pixel for pixel, so the key stays exact). Nothing for a null bitmap.
void DrawTransparent(HDC dc, int x, int y, HBITMAP bitmap, COLORREF key,
                     int pixelsPerInch = 96) noexcept;

// The bitmap's size in pixels; zero for a null bitmap.
SIZE BitmapSize(HBITMAP bitmap) noexcept;

// A copy of the bitmap at the size DrawTransparent draws it at that density (the caller owns it);
// null for a null bitmap or when the copy cannot be made.
HBITMAP GrownCopy(HBITMAP bitmap, int pixelsPerInch) noexcept;

class ImageItem {
public:
    // Takes the bitmap (which may be null: the item then draws nothing).
    ImageItem(HWND owner, HBITMAP bitmap, int controlId, COLORREF key) noexcept
        : owner_(owner), bitmap_(bitmap), controlId_(controlId), key_(key) {}

    HWND Owner() const noexcept { return owner_; }
    HBITMAP Bitmap() const noexcept { return static_cast<HBITMAP>(bitmap_.get()); }
    int ControlId() const noexcept { return controlId_; }
    COLORREF Key() const noexcept { return key_; }

    void Draw(HDC dc, int x, int y, int pixelsPerInch = 96) const noexcept {
        DrawTransparent(dc, x, y, Bitmap(), key_, pixelsPerInch);
    }

private:
    HWND owner_;
    qelwin::unique_hgdiobj bitmap_;
    int controlId_;
    COLORREF key_;
};

// The PNG file of that name in the program's folder as a bitmap, its transparent parts over the
// background colour; null when the file is missing or not a picture. GDI+ must be started.
HBITMAP LoadPngAsHBitmap(const std::wstring& fileName, COLORREF background) noexcept;

} // namespace qelinvitation
