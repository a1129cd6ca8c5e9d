// The controllers of the open modal dialogs, oldest first, for the UI thread. A dialog's
// procedure finds its own controller through its window (DialogController); the stack says
// which dialogs are open and in which order.
#pragma once

#include <vector>

namespace qelui {

class DialogController;

class DialogStack {
public:
    // The process-wide stack; its bottom entry is a null that stays for the life of the
    // process, so the stack is never empty.
    static std::vector<DialogController*>& Instance();

    // The controller of the newest open dialog, or null.
    static DialogController* Top() noexcept;

    // Keeps a controller on the stack for as long as the entry lives, also when an exception
    // passes.
    class Entry {
    public:
        explicit Entry(DialogController* controller);
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

    private:
        DialogController* controller_;
    };
};

} // namespace qelui
