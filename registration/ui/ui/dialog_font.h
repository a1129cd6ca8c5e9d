// Fonts of the screens: the face that DS_SHELLFONT dialogs use, sized in points for the
// display's pixel density.
#pragma once

#include <windows.h>

#include "win/unique_any.h"

namespace qelui {

inline constexpr wchar_t kShellDialogFace[] = L"MS Shell Dlg 2";

// The font height for CreateFontW: minus points x pixels per inch / 72, rounded by MulDiv.
int FontHeightForPoints(int points, int pixelsPerInch) noexcept;

// The vertical pixels per inch of the window's display (of the screen for a null window).
int PixelsPerInchY(HWND window) noexcept;

// A shell dialog font of that size and weight (FW_NORMAL, FW_BOLD) for the window's display.
qelwin::unique_hgdiobj CreateShellDialogFont(HWND window, int points, int weight) noexcept;

} // namespace qelui
