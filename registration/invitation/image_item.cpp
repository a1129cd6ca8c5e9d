#include "invitation/image_item.h"

#include <objidl.h> // before GDI+, which needs it
#include <gdiplus.h>

#include <memory>
#include <type_traits>

#include "ui/dialog_layout.h"
#include "win/module_path.h"

namespace qelinvitation {

namespace {

struct DeleteDc {
    void operator()(HDC dc) const noexcept { ::DeleteDC(dc); }
};
using unique_memory_dc = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteDc>;

} // namespace

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

HBITMAP GrownCopy(HBITMAP bitmap, int pixelsPerInch) noexcept {
    const SIZE size = BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0) {
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = qelui::ScaleToDensity(size.cx, pixelsPerInch);
    info.bmiHeader.biHeight = -qelui::ScaleToDensity(size.cy, pixelsPerInch);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    qelwin::unique_hgdiobj copy(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const unique_memory_dc target(::CreateCompatibleDC(nullptr));
    const unique_memory_dc source(::CreateCompatibleDC(nullptr));
    if (!copy || !target || !source) {
        return nullptr;
    }
    HGDIOBJ previousTarget = ::SelectObject(target.get(), copy.get());
    HGDIOBJ previousSource = ::SelectObject(source.get(), bitmap);
    ::SetStretchBltMode(target.get(), COLORONCOLOR);
    ::StretchBlt(target.get(), 0, 0, info.bmiHeader.biWidth, -info.bmiHeader.biHeight, source.get(),
                 0, 0, size.cx, size.cy, SRCCOPY);
    ::SelectObject(source.get(), previousSource);
    ::SelectObject(target.get(), previousTarget);
    return static_cast<HBITMAP>(copy.release());
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
