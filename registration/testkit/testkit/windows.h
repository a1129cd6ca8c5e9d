// Looking at the windows of another process from a test: finding them, reading their texts and
// pressing their buttons, without blocking on a program that hangs.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace qeltest {

std::wstring WindowText(HWND window);
std::wstring WindowClass(HWND window);
// The text as UTF-8, for test messages.
std::string Utf8(const std::wstring& text);

// Visible top-level windows of the process, in z-order (the one in front first).
std::vector<HWND> VisibleTopLevelWindows(DWORD processId);

// Waits for a visible top-level window of the process with that class (any class when empty),
// looking again every poll. Null when none came within the time or the process ended first.
HWND WaitForWindow(DWORD processId, HANDLE process, const std::wstring& className,
                   std::chrono::milliseconds timeout,
                   std::chrono::milliseconds poll = std::chrono::milliseconds(50));

// The message-only window of that class that belongs to the process, or null.
HWND FindMessageOnlyWindow(DWORD processId, const std::wstring& className);

// What a standard message box shows.
struct MessageBoxContent {
    std::wstring caption;
    std::wstring text;
    std::vector<int> buttons; // control ids of the visible buttons, in z-order
    bool hasIcon = false;
};

MessageBoxContent ReadMessageBox(HWND box);

// Posts the command of a button (IDOK, IDCANCEL, ...) to a dialog, as a click would.
void PressButton(HWND dialog, int id);

// The entries of a drop-down list of another process, in order; empty when it does not answer.
std::vector<std::wstring> ComboEntries(HWND combo);
// Leaves the entry at that index chosen, as the dialog reads the user's pick.
bool ChooseComboEntry(HWND combo, int index);

} // namespace qeltest
