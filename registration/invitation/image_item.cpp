#include "invitation/image_item.h"

#include <objidl.h> // before GDI+, which needs it
#include <gdiplus.h>

#include "ui/dialog_layout.h"
#include "win/module_path.h"

namespace qelinvitation {

void DrawTransparent(HDC dc, int x, int y, HBITMAP bitmap, COLORREF key,
                     int pixelsPerInch) noexcept {
    const SIZE size = BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0) {
        return;
    }
    HDC memory = ::CreateCompatibleDC(dc);
    if (memory == nullptr) {
        return;
    }
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::TransparentBlt(dc, x, y, qelui::ScaleToDensity(size.cx, pixelsPerInch),
                     qelui::ScaleToDensity(size.cy, pixelsPerInch), memory, 0, 0, size.cx, size.cy,
                     key);
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
}

SIZE BitmapSize(HBITMAP bitmap) noexcept {
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) {
        return {0, 0};
    }
    return {info.bmWidth, info.bmHeight};
}

HBITMAP LoadPngAsHBitmap(const std::wstring& fileName, COLORREF background) noexcept {
    namespace gdip = Gdiplus::DllExports;
    try {
        const std::wstring path = qelwin::JoinPath(qelwin::ThisModuleFolder(), fileName);
        Gdiplus::GpBitmap* picture = nullptr;
        if (gdip::GdipCreateBitmapFromFile(path.c_str(), &picture) != Gdiplus::Ok ||
            picture == nullptr) {
            return nullptr;
        }
        const Gdiplus::ARGB argb = 0xFF000000u | (GetRValue(background) << 16) |
                                   (GetGValue(background) << 8) | GetBValue(background);
        HBITMAP bitmap = nullptr;
        if (gdip::GdipCreateHBITMAPFromBitmap(picture, &bitmap, argb) != Gdiplus::Ok) {
            bitmap = nullptr;
        }
        gdip::GdipDisposeImage(picture);
        return bitmap;
    } catch (...) {
        return nullptr;
    }
}

} // namespace qelinvitation
