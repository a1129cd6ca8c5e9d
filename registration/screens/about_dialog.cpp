#include "screens/about_dialog.h"

#include "resource.h"
#include "ui/center_window.h"
#include "ui/text_ids.h"

namespace qelscreens {

INT_PTR AboutDialog::DoModal(HWND owner) {
    return DialogController::DoModal(IDD_ABOUT, owner);
}

INT_PTR AboutDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        qelui::CenterWindow(Window());
        SetCaptionText(qelui::text::kAboutTitle);
        SetItemText(IDC_ABOUT_LINE1, qelui::text::kAboutLine1);
        SetItemText(IDC_ABOUT_LINE2, qelui::text::kAboutLine2);
        SetItemText(IDC_ABOUT_LINE3, qelui::text::kAboutLine3);
        SetItemText(IDOK, qelui::text::kButtonOk);
        return FALSE;
    case WM_SHOWWINDOW:
        ::SetFocus(Item(IDOK));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            End(LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace qelscreens
