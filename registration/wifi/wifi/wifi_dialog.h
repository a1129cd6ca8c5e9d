// What the three Wi-Fi recovery dialogs share: the controller's facts, the pixel layout of a
// 600-wide dialog with a bold message on top, a line above a row of buttons, and their fonts.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "qelinfo/IApplicationInfo.h"
#include "ui/dialog_controller.h"

namespace qelwifi {

class WifiDialog : public qelui::DialogController {
public:
    qelinfo::IApplicationInfo* Facts() const noexcept { return facts_; }

protected:
    // How a control is laid out: its font and the text number it shows (0: none).
    enum class Font { kDialog, kLabel, kButton };
    struct Control {
        int id;
        int x;
        int y; // kButtonRow: on the row of buttons, 25 pixels high
        int width;
        int height;
        Font font;
        int textId;
    };
    static constexpr int kButtonRow = -1;

    WifiDialog(const qelui::TextLibrary* texts, qelinfo::IApplicationInfo* facts) noexcept
        : DialogController(texts), facts_(facts) {}

    void SetFacts(qelinfo::IApplicationInfo* facts) noexcept { facts_ = facts; }

    // Opens the template over owner with this controller; its answer.
    INT_PTR Open(int resourceId, HWND owner);

    // The layout of WM_INITDIALOG: client area 600 x (320 - caption button height), the message
    // with messageTextId, the controls, the line above the buttons; the caption and every text
    // from the library when there is one; then centred and shown.
    void LayOut(int messageTextId, std::initializer_list<Control> controls);

private:
    qelinfo::IApplicationInfo* facts_;
};

} // namespace qelwifi
