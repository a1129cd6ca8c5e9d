// What the three Wi-Fi recovery dialogs share: the controller's facts, the pixel layout of a
// 600-wide dialog with a bold message on top, a line above a row of buttons, and their fonts;
// the focus when the dialog shows, and the buttons that answer it.
#pragma once

#include <windows.h>

#include <array>
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

    // focusId gets the focus when the dialog shows; the answers (IDCANCEL among them, for
    // Escape and the close box) end the dialog with their id.
    WifiDialog(const qelui::TextLibrary* texts, qelinfo::IApplicationInfo* facts, int focusId,
               std::initializer_list<int> answers) noexcept;

    void SetFacts(qelinfo::IApplicationInfo* facts) noexcept { facts_ = facts; }

    // Opens the template over owner with this controller; its answer.
    INT_PTR Open(int resourceId, HWND owner);

    // The layout of WM_INITDIALOG: client area 600 x (320 - caption button height), the message
    // with messageTextId, the controls, the line above the buttons; the caption and every text
    // from the library when there is one; then centred and shown.
    void LayOut(int messageTextId, std::initializer_list<Control> controls);

    virtual void OnInitDialog() = 0;
    // A command: by default, an answer ends the dialog with its id.
    virtual void OnCommand(int id, int code);

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) final;

    qelinfo::IApplicationInfo* facts_;
    int focusId_;
    std::array<int, 4> answers_{}; // unused places hold 0, which no command has
};

} // namespace qelwifi
