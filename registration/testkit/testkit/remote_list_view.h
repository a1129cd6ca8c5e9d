// A report list view of another process: its rows read and one selected as a click would, with
// the message's data placed in that process's memory. No call waits on a program that hangs for
// longer than a few seconds.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qeltest {

// Rows of the list, each its columns' texts joined by " | "; empty when it cannot be read.
std::vector<std::wstring> ReadListRows(HWND list);

// The number of rows (-1 when the list does not answer) and the first selected one (-1: none).
int ListRowCount(HWND list);
int SelectedListRow(HWND list);

// Selects and focuses that row, which tells the list's dialog as a user's click would.
bool SelectListRow(HWND list, int row);

} // namespace qeltest
