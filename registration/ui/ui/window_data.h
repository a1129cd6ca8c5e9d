// Pointers kept in a window's user data. The full pointer width is stored, so a 64-bit address
// is never cut to 32 bits.
#pragma once

#include <windows.h>

namespace qelui {

template <typename T> void SetWindowPointer(HWND window, T* object) noexcept {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

template <typename T> T* GetWindowPointer(HWND window) noexcept {
    return reinterpret_cast<T*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Replaces a window's procedure and returns the previous one, for subclassed controls.
inline WNDPROC SetWindowProcedure(HWND window, WNDPROC procedure) noexcept {
    return reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

} // namespace qelui
