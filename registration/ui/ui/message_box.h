// Message boxes whose text and caption come from the UI text library.
#pragma once

#include <windows.h>

#include "ui/TextLibrary.h"
#include "ui/system.h"
#include "ui/text_ids.h"

namespace qelui {

// A message box over owner with text number textId and caption number captionId (by default
// the caption of every box of the program); returns its answer.
int ShowTextMessageBox(ISystem& system, HWND owner, const TextLibrary& texts, int textId,
                       UINT style, int captionId = text::kCaption);

} // namespace qelui
