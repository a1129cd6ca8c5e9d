// What the flows ask of the system: the next step of the flow, message boxes, opening a page and
// the elevation test. The program answers with the real system; tests answer with a recording
// double, so a flow's next step can be checked without a screen.
#pragma once

#include <windows.h>

#include <string>

namespace qelui {

class ISystem {
public:
    virtual ~ISystem() = default;

    // Queues message (wParam, lParam 0) for the hidden window as the flow's next step. When it
    // cannot be queued the run ends instead (the window is destroyed) and the result is false.
    virtual bool PostNext(HWND window, UINT message, WPARAM wParam) = 0;

    // A modal message box over owner; its answer (IDOK, IDCANCEL, ...).
    virtual int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                               UINT style) = 0;

    // Opens the page in the user's browser, as the desktop user when the program runs elevated.
    virtual void OpenPage(const std::wstring& address) = 0;

    // True when the program runs with a full administrator token.
    virtual bool IsElevated() = 0;
};

} // namespace qelui
