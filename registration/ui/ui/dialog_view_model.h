// The state and work of a screen, kept apart from the window that shows it.
#pragma once

#include <windows.h>

namespace qelui {

class IDialogViewModel {
public:
    virtual ~IDialogViewModel() = default;
    // Second phase of construction; false makes the creator destroy the object.
    virtual bool Initialize() = 0;
    // The dialog has been created.
    virtual void Attach(HWND dialog) = 0;
    // The dialog is being destroyed.
    virtual void Detach() = 0;
    virtual int OnNotify(int controlId) = 0;
    // 1 when the command was handled.
    virtual int OnCommand(int controlId, int origin, int reserved1, int reserved2) = 0;
    // Copies the saved window rectangle into out (nothing when out is null); returns out.
    virtual RECT* GetSavedRect(RECT* out) = 0;
};

// The base the screens' view models derive from; it adds nothing of its own.
class DspDialogVMBase : public IDialogViewModel {};

} // namespace qelui
