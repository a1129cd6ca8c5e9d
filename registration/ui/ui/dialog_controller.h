// The base of every screen's controller: the object that serves one modal dialog of the
// program's resources. The controller is bound to its own window (handed in through
// DialogBoxParamW and kept in the window at WM_INITDIALOG), so a message for an owner dialog
// never reaches the controller of a dialog opened over it.
#pragma once

#include <windows.h>

#include <exception>
#include <vector>

#include "ui/TextLibrary.h"
#include "ui/dialog_view_model.h"
#include "win/unique_any.h"

namespace qelui {

class DialogController {
public:
    explicit DialogController(const TextLibrary* texts = nullptr) noexcept : texts_(texts) {}
    virtual ~DialogController() = default;
    DialogController(const DialogController&) = delete;
    DialogController& operator=(const DialogController&) = delete;

    // Opens dialog template resourceId of the program over owner (null: none), with this
    // controller on the dialog stack, and returns once it has ended: the value given to End, or
    // -1 when the dialog could not be made. An exception raised while serving the dialog ends
    // the dialog and is raised again here, after the system's dialog code has returned.
    INT_PTR DoModal(int resourceId, HWND owner);

    // The dialog window while it exists, else null.
    HWND Window() const noexcept { return window_; }

    // A view model is attached at WM_INITDIALOG and detached (and let go) at WM_DESTROY.
    IDialogViewModel* ViewModel() const noexcept { return viewModel_; }
    void SetViewModel(IDialogViewModel* viewModel) noexcept { viewModel_ = viewModel; }

    // Where the dialog takes its texts from; without one, texts stay as the template has them.
    const TextLibrary* Texts() const noexcept { return texts_; }
    void SetTextLibrary(const TextLibrary* texts) noexcept { texts_ = texts; }

    // Lets go of the view model and the text library.
    void Reset() noexcept;

protected:
    // Every message of the dialog from WM_INITDIALOG to WM_NCDESTROY; returns what a dialog
    // procedure returns. It may throw: the dialog then ends and DoModal raises the exception.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    HWND Item(int id) const noexcept { return ::GetDlgItem(window_, id); }

    // The caption or a control's text := text number textId (nothing without a library).
    void SetCaptionText(int textId) const;
    void SetItemText(int itemId, int textId) const;

    // A shell dialog font of that size for this dialog's display, owned by the controller and
    // kept until the dialog window is gone.
    HFONT OwnFont(int points, int weight);

    void End(INT_PTR result) const noexcept { ::EndDialog(window_, result); }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;
    INT_PTR Serve(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void Fail(HWND window) noexcept;

    HWND window_ = nullptr;
    IDialogViewModel* viewModel_ = nullptr;
    const TextLibrary* texts_ = nullptr;
    std::vector<qelwin::unique_hgdiobj> fonts_;
    std::exception_ptr failure_;
};

} // namespace qelui
