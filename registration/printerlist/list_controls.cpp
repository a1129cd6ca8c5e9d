#include "printerlist/list_controls.h"

#include "resource.h"

namespace qelprinterlist {

bool ChangesSelection(const NMLISTVIEW& change) noexcept {
    return (change.uChanged & LVIF_STATE) != 0 &&
           ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0;
}

void UseFullRowSelect(HWND list) noexcept {
    const auto style = ::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style | LVS_EX_FULLROWSELECT);
}

void AddColumn(HWND list, int index, int width, const std::wstring& title) noexcept {
    std::wstring text = title;
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = index;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&column));
}

void AddRow(HWND list, int row, const std::wstring& first, const std::wstring& second) noexcept {
    std::wstring text = first;
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = text.data();
    item.iItem =
        static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    text = second;
    item.iSubItem = 1;
    item.pszText = text.data();
    ::SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void SelectRow(HWND list, int row) noexcept {
    LVITEMW item{};
    item.state = LVIS_SELECTED;
    item.stateMask = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
}

int SelectedRow(HWND list) noexcept {
    return static_cast<int>(
        ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool HasSelection(HWND list) noexcept {
    return ::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
}

void SetActionsEnabled(HWND dialog, bool enabled) noexcept {
    for (int id : {IDC_LIST_REGISTER, IDC_LIST_ABOUT_SERVICE}) {
        ::EnableWindow(::GetDlgItem(dialog, id), enabled);
    }
}

} // namespace qelprinterlist
