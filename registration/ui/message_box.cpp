#include "ui/message_box.h"

#include "ui/text_ids.h"

namespace qelui {

int ShowTextMessageBox(HWND owner, const TextLibrary& texts, int textId, UINT style,
                       int captionId) {
    const std::wstring text = texts.LoadText(textId);
    const std::wstring caption = texts.LoadText(captionId);
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), style);
}

int ShowTextMessageBox(HWND owner, const TextLibrary& texts, int textId, UINT style) {
    return ShowTextMessageBox(owner, texts, textId, style, text::kCaption);
}

} // namespace qelui
