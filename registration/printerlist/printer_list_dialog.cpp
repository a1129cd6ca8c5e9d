#include "printerlist/printer_list_dialog.h"

#include <commctrl.h>

#include "printerlist/list_controls.h"
#include "printerlist/printer_list_vm.h"
#include "resource.h"
#include "screens/about_dialog.h"
#include "ui/center_window.h"
#include "ui/dialog_font.h"
#include "ui/dialog_layout.h"
#include "ui/text_ids.h"

namespace qelprinterlist {

namespace {

// In pixels at 96 pixels per inch: the list itself is laid out in dialog units and grows with the
// density, and so do its columns.
constexpr int kColumnWidth = 200;

} // namespace

INT_PTR PrinterListDialog::DoModal(HWND owner) {
    // The view model lives as long as the dialog is attached to it.
    SetViewModel(model_);
    return DialogController::DoModal(IDD_PRINTER_LIST, owner);
}

INT_PTR PrinterListDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return FALSE;
    case WM_SHOWWINDOW:
        // The first search starts as soon as the list shows.
        ::SetFocus(Item(IDC_LIST_REGISTER));
        ::PostMessageW(Window(), kMsgRefresh, 0, 0);
        return TRUE;
    case kMsgRefresh:
        if (ViewModel() != nullptr) {
            ViewModel()->OnNotify(IDC_PRINTER_LIST);
        }
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && header->idFrom == IDC_PRINTER_LIST &&
            header->code == LVN_ITEMCHANGED) {
            OnListChanged(*reinterpret_cast<const NMLISTVIEW*>(lParam));
        }
        return FALSE;
    }
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam));
    case WM_SYSCOMMAND:
        if (LOWORD(wParam) == kAboutCommand) {
            OpenAbout();
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void PrinterListDialog::OnInitDialog() {
    SetCaptionText(qelui::text::kCaption);
    SetItemText(IDC_LIST_REFRESH, qelui::text::kListRefresh);
    SetItemText(IDC_LIST_REGISTER, qelui::text::kListRegister);
    SetItemText(IDC_LIST_ABOUT_SERVICE, qelui::text::kListAboutService);
    SetItemText(IDC_LIST_LABEL, qelui::text::kListLabel);

    HWND list = Item(IDC_PRINTER_LIST);
    UseFullRowSelect(list);
    const auto title = [this](int textId) {
        return Texts() != nullptr ? Texts()->LoadText(textId) : std::wstring();
    };
    const int width = qelui::ScaleToDensity(kColumnWidth, qelui::PixelsPerInchY(Window()));
    AddColumn(list, 0, width, title(qelui::text::kListColumnModel));
    AddColumn(list, 1, width, title(qelui::text::kListColumnSerial));

    HMENU menu = ::GetSystemMenu(Window(), FALSE);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kAboutCommand, title(qelui::text::kAboutTitle).c_str());

    qelui::CenterWindow(Window());
}

INT_PTR PrinterListDialog::OnCommand(int id) {
    switch (id) {
    case IDCANCEL:
        End(IDCANCEL);
        return TRUE;
    case IDC_LIST_REFRESH:
        ::PostMessageW(Window(), kMsgRefresh, 0, 0);
        SetActionsEnabled(Window(), true);
        ::SetFocus(Item(IDC_LIST_REGISTER));
        return FALSE;
    case IDC_LIST_ABOUT_SERVICE:
        if (ViewModel() != nullptr) {
            ViewModel()->OnCommand(IDC_LIST_ABOUT_SERVICE, kCommandFromDialog, 0, 0);
        }
        return FALSE;
    case IDC_LIST_REGISTER:
        if (ViewModel() != nullptr) {
            ViewModel()->OnCommand(IDC_LIST_REGISTER, kCommandFromDialog, 0, 0);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

void PrinterListDialog::OnListChanged(const NMLISTVIEW& change) const {
    // The actions follow whether a row is selected, whichever row's state changed.
    if (ChangesSelection(change)) {
        SetActionsEnabled(Window(), HasSelection(Item(IDC_PRINTER_LIST)));
    }
}

void PrinterListDialog::OpenAbout() const {
    try {
        qelscreens::AboutDialog about(Texts());
        about.DoModal(Window());
    } catch (...) {
        // The About box could not show; the list stays.
    }
}

} // namespace qelprinterlist
