// The printer list's controls: the report view with its columns, rows and selection, and the two
// actions (Register, About the service) that need a selected printer.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace qelprinterlist {

// Whether a row change touched the selection: the selected state of a row (or of every row at
// once) went on or off. A change of focus or of any other state leaves the selection as it was.
bool ChangesSelection(const NMLISTVIEW& change) noexcept;

// Rows are selected on the whole width.
void UseFullRowSelect(HWND list) noexcept;

// A left-aligned column at that index, width in pixels.
void AddColumn(HWND list, int index, int width, const std::wstring& title) noexcept;

// A row at that index with a text in each of the two columns.
void AddRow(HWND list, int row, const std::wstring& first, const std::wstring& second) noexcept;

void SelectRow(HWND list, int row) noexcept;

// The selected row, or -1.
int SelectedRow(HWND list) noexcept;

bool HasSelection(HWND list) noexcept;

// Enables or disables Register and About the service of the list dialog.
void SetActionsEnabled(HWND dialog, bool enabled) noexcept;

} // namespace qelprinterlist
