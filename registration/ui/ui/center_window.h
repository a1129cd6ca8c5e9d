// Centring dialogs on their owner, kept on the screen.
#pragma once

#include <windows.h>

namespace qelui {

// Top-left corner for a window of that size centred on the reference rectangle: pulled back to
// 0 when it would start left of (above) the screen, then to the screen's right (bottom) edge
// when it would pass it, so a window larger than the screen ends at a negative position.
POINT CenteredPosition(const RECT& reference, SIZE window, SIZE screen) noexcept;

// Moves the window to the centre of its parent, or of the screen when it has no parent or the
// parent shows nowhere (message-only, hidden or minimised: its rectangle is not a place on the
// screen). Size unchanged, no repaint. Always TRUE.
BOOL CenterWindow(HWND window) noexcept;

} // namespace qelui
