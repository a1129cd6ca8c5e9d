#include "ui/center_window.h"

namespace qelui {

namespace {

int Place(LONG referenceStart, LONG referenceLength, LONG length, LONG screenLength) noexcept {
    int position = referenceStart + (referenceLength - length) / 2;
    if (position < 0) {
        position = 0;
    }
    if (position + length > screenLength) {
        position = screenLength - length;
    }
    return position;
}

} // namespace

POINT CenteredPosition(const RECT& reference, SIZE window, SIZE screen) noexcept {
    return {Place(reference.left, reference.right - reference.left, window.cx, screen.cx),
            Place(reference.top, reference.bottom - reference.top, window.cy, screen.cy)};
}

BOOL CenterWindow(HWND window) noexcept {
    const SIZE screen{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT reference{0, 0, screen.cx, screen.cy};
    HWND parent = ::GetParent(window);
    if (parent != nullptr && ::IsWindowVisible(parent) && !::IsIconic(parent)) {
        ::GetWindowRect(parent, &reference);
    }
    RECT own{};
    ::GetWindowRect(window, &own);
    const SIZE size{own.right - own.left, own.bottom - own.top};
    const POINT at = CenteredPosition(reference, size, screen);
    ::MoveWindow(window, at.x, at.y, size.cx, size.cy, FALSE);
    return TRUE;
}

} // namespace qelui
