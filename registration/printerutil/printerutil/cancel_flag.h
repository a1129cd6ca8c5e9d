// The cancel byte of one background operation: owned by the screen that waits for the operation,
// set from the UI thread, read by the operation between its steps. The same type as the
// progress dialogs' flag, so a screen hands its own flag down.
#pragma once

#include <atomic>

namespace printerutil {

using CancelFlag = std::atomic<char>;

// A null flag is never set.
inline bool IsCancelRequested(const CancelFlag* flag) noexcept {
    return flag != nullptr && flag->load() != 0;
}

} // namespace printerutil
