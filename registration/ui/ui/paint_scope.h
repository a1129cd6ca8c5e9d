// One WM_PAINT's drawing: BeginPaint on construction, EndPaint when the scope ends, also when
// the drawing throws, so that the window is validated and never asks to be painted again and
// again.
#pragma once

#include <windows.h>

#include <utility>

namespace qelui {

class PaintScope {
public:
    explicit PaintScope(HWND window) noexcept : window_(window) {
        dc_ = ::BeginPaint(window_, &paint_);
    }
    ~PaintScope() {
        if (dc_ != nullptr) {
            ::EndPaint(window_, &paint_);
        }
    }
    PaintScope(PaintScope&& other) noexcept
        : window_(other.window_), paint_(other.paint_), dc_(std::exchange(other.dc_, nullptr)) {}
    PaintScope& operator=(PaintScope&&) = delete;
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    // Null when there is nothing to paint on.
    HDC dc() const noexcept { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

} // namespace qelui
