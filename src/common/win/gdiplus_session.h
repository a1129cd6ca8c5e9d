// GDI+ started for the life of one object (a program's run, a test suite) and shut down after
// it; a start that fails leaves nothing to shut down, and pictures then fail to load.
// Header-only: whoever uses it links gdiplus.
#pragma once

#include <windows.h>
#include <objidl.h> // before GDI+, which needs it
#include <gdiplus.h>

namespace qelwin {

class GdiplusSession {
public:
    GdiplusSession() noexcept {
        const Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) {
            token_ = 0;
        }
    }
    ~GdiplusSession() {
        if (token_ != 0) {
            Gdiplus::GdiplusShutdown(token_);
        }
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

} // namespace qelwin
