// Message boxes whose text and caption come from the UI text library.
#pragma once

#include <windows.h>

#include "ui/TextLibrary.h"

namespace qelui {

// MessageBoxW with text number textId and caption number captionId; returns its result.
int ShowTextMessageBox(HWND owner, const TextLibrary& texts, int textId, UINT style, int captionId);

// The same with the standard caption of every box of the program.
int ShowTextMessageBox(HWND owner, const TextLibrary& texts, int textId, UINT style);

} // namespace qelui
