#include "ui/dialog_controller.h"

#include <utility>

#include "ui/dialog_font.h"
#include "ui/dialog_stack.h"
#include "ui/dialog_text.h"

namespace qelui {

INT_PTR DialogController::DoModal(int resourceId, HWND owner) {
    INT_PTR result = -1;
    {
        const DialogStack::Entry entry(this);
        // The program's own module holds the templates (in tests: the test program).
        result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), owner,
                                   &DialogController::Procedure, reinterpret_cast<LPARAM>(this));
    }
    if (failure_) {
        std::rethrow_exception(std::exchange(failure_, nullptr));
    }
    return result;
}

void DialogController::Reset() noexcept {
    viewModel_ = nullptr;
    texts_ = nullptr;
}

void DialogController::SetCaptionText(int textId) const {
    if (texts_ != nullptr) {
        SetTextFromLibrary(window_, *texts_, textId);
    }
}

void DialogController::SetItemText(int itemId, int textId) const {
    if (texts_ != nullptr) {
        SetItemTextFromLibrary(window_, itemId, *texts_, textId);
    }
}

HFONT DialogController::OwnFont(int points, int weight) {
    fonts_.push_back(CreateShellDialogFont(window_, points, weight));
    return static_cast<HFONT>(fonts_.back().get());
}

void DialogController::Fail(HWND window) noexcept {
    // Nothing may unwind through the system's dialog code: keep the first failure, end the
    // dialog and let DoModal raise it on the caller's side.
    if (!failure_) {
        failure_ = std::current_exception();
    }
    ::EndDialog(window, -1);
}

INT_PTR CALLBACK DialogController::Procedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept {
    // Messages before WM_INITDIALOG (WM_SETFONT and the creation messages) find no controller
    // yet and get the dialog manager's default handling.
    auto* self = message == WM_INITDIALOG
                     ? reinterpret_cast<DialogController*>(lParam)
                     : reinterpret_cast<DialogController*>(::GetWindowLongPtrW(window, DWLP_USER));
    return self != nullptr ? self->Serve(window, message, wParam, lParam) : FALSE;
}

INT_PTR DialogController::Serve(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
        window_ = window;
    }
    INT_PTR result = FALSE;
    try {
        if (message == WM_INITDIALOG && viewModel_ != nullptr) {
            viewModel_->Attach(window);
        }
        result = OnMessage(message, wParam, lParam);
    } catch (...) {
        Fail(window);
        result = FALSE;
    }
    if (message == WM_DESTROY && viewModel_ != nullptr) {
        try {
            std::exchange(viewModel_, nullptr)->Detach();
        } catch (...) {
            Fail(window);
        }
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        window_ = nullptr;
        fonts_.clear(); // the controls that used them are gone
    }
    return result;
}

} // namespace qelui
