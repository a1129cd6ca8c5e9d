#include "screens/progress_dialog.h"

#include <commctrl.h>

#include "resource.h"
#include "ui/center_window.h"
#include "ui/text_ids.h"

namespace qelscreens {

void DialogTimer::Reset() noexcept {
    StopPolling();
    title_.clear();
    DialogController::Reset();
}

INT_PTR DialogTimer::DoModal(ProgressDialog which, HWND parent) {
    SetViewModel(nullptr);
    const bool search = which == ProgressDialog::kSearch;
    barId_ = search ? IDC_SEARCH_PROGRESS_BAR : IDC_STATUS_PROGRESS_BAR;
    return DialogController::DoModal(search ? IDD_SEARCH_PROGRESS : IDD_STATUS_PROGRESS, parent);
}

UINT_PTR DialogTimer::TimerId() const noexcept {
    // The callback's address names the poll; a dialog without one still needs a timer id.
    return callback_ != nullptr ? reinterpret_cast<UINT_PTR>(callback_) : 1;
}

void DialogTimer::StopPolling() noexcept {
    // A destroyed dialog took its timer with it; a null window would name a thread timer.
    if (timer_ != 0 && Window() != nullptr) {
        ::KillTimer(Window(), TimerId());
    }
    timer_ = 0;
}

INT_PTR DialogTimer::OnMessage(UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return FALSE;
    case WM_TIMER:
        // Without a callback there is nothing to wait for.
        if (callback_ == nullptr || callback_->IsDone()) {
            End(1);
        }
        return TRUE;
    case WM_DESTROY:
        StopPolling();
        return FALSE;
    default:
        // IDCANCEL too: Escape and the close request leave the dialog open.
        return FALSE;
    }
}

void DialogTimer::OnInitDialog() {
    HWND dialog = Window();
    HWND bar = Item(barId_);
    ::SetWindowLongPtrW(bar, GWL_STYLE, ::GetWindowLongPtrW(bar, GWL_STYLE) | PBS_MARQUEE);
    ::SendMessageW(bar, PBM_SETMARQUEE, TRUE, 0);
    if (HMENU menu = ::GetSystemMenu(dialog, FALSE)) {
        for (UINT command : {SC_CLOSE, SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE}) {
            ::RemoveMenu(menu, command, MF_BYCOMMAND);
        }
    }
    ::SetWindowTextW(dialog, title_.c_str());
    SetItemText(IDC_PROGRESS_MESSAGE, qelui::text::kProgressMessage);
    qelui::CenterWindow(dialog);
    ::ShowWindow(dialog, SW_SHOW);
    timer_ = ::SetTimer(dialog, TimerId(), kPollMilliseconds, nullptr);
}

} // namespace qelscreens
