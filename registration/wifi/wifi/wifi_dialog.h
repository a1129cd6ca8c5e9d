// What the three Wi-Fi recovery dialogs share: the controller's facts, the pixel layout of a
// 600-wide dialog (at 96 pixels per inch) with a bold message on top, a line above a row of
// buttons, and their fonts; the focus when the dialog shows, and the buttons that answer it.
#pragma once

#include <windows.h>

#include <array>
#include <initializer_list>
#include <vector>

#include "qelinfo/IApplicationInfo.h"
#include "ui/dialog_controller.h"
#include "wifi/wifi_layout.h"

namespace qelwifi {

class WifiDialog : public qelui::DialogController {
public:
    qelinfo::IApplicationInfo* Facts() const noexcept { return facts_; }

protected:
    using Font = WifiFont;
    using Control = WifiControl;
    static constexpr int kButtonRow = qelwifi::kButtonRow;

    // focusId gets the focus when the dialog shows; the answers (IDCANCEL among them, for
    // Escape and the close box) end the dialog with their id.
    WifiDialog(const qelui::TextLibrary* texts, qelinfo::IApplicationInfo* facts, int focusId,
               std::initializer_list<int> answers) noexcept;

    void SetFacts(qelinfo::IApplicationInfo* facts) noexcept { facts_ = facts; }

    // Opens the template over owner with this controller; its answer.
    INT_PTR Open(int resourceId, HWND owner);

    // The layout of WM_INITDIALOG (LayOutWifiDialog at the display's density), the message with
    // messageTextId; the caption and every text from the library when there is one; then
    // centred and shown.
    void LayOut(int messageTextId, const std::vector<Control>& controls);

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
