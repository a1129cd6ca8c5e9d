#include "ui/message_box.h"

namespace qelui {

int ShowTextMessageBox(ISystem& system, HWND owner, const TextLibrary& texts, int textId,
                       UINT style, int captionId) {
    return system.ShowMessageBox(owner, texts.LoadText(textId), texts.LoadText(captionId), style);
}

} // namespace qelui
