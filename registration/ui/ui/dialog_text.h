// Screens keep placeholders in their templates and take every visible text from the library.
#pragma once

#include <windows.h>

#include "ui/TextLibrary.h"

namespace qelui {

// The window's text (a dialog's caption, a control's label) := text number textId.
void SetTextFromLibrary(HWND window, const TextLibrary& texts, int textId);

// The text of the dialog's control itemId := text number textId.
void SetItemTextFromLibrary(HWND dialog, int itemId, const TextLibrary& texts, int textId);

} // namespace qelui
