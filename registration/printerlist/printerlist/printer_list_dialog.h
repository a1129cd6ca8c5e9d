// Dialog 140, the printer list: a thin host that owns the window's messages and passes the work
// to its view model (PrinterListVM). Showing it starts a search; Refresh searches again; Register
// and About the service follow the list's selection; the system menu opens the About box.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "ui/dialog_controller.h"

namespace qelprinterlist {

// The refresh request that the dialog posts to itself.
inline constexpr UINT kMsgRefresh = WM_APP + 0x30;
// The system-menu item that opens the About box.
inline constexpr UINT kAboutCommand = 0;

class PrinterListDialog final : public qelui::DialogController {
public:
    PrinterListDialog(qelui::IDialogViewModel* viewModel, const qelui::TextLibrary* texts) noexcept
        : DialogController(texts), model_(viewModel) {}

    // Shows the list over owner (null: none) until the user closes it or a registration went
    // through; IDCANCEL then.
    INT_PTR DoModal(HWND owner);

protected:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    INT_PTR OnCommand(int id);
    void OnListChanged(const NMLISTVIEW& change) const;
    void OpenAbout() const;

    qelui::IDialogViewModel* model_;
};

} // namespace qelprinterlist
