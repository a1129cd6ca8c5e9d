#include "ui/dialog_text.h"

#include <string>

namespace qelui {

void SetTextFromLibrary(HWND window, const TextLibrary& texts, int textId) {
    const std::wstring text = texts.LoadText(textId);
    ::SetWindowTextW(window, text.c_str());
}

void SetItemTextFromLibrary(HWND dialog, int itemId, const TextLibrary& texts, int textId) {
    const std::wstring text = texts.LoadText(textId);
    ::SetDlgItemTextW(dialog, itemId, text.c_str());
}

} // namespace qelui
