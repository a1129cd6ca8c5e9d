// The cancel byte of one background operation: owned by the screen that waits for the operation,
// set from the UI thread, read by the operation between its steps.
#pragma once

#include <atomic>
#include <cstdint>

namespace printerutil {

using CancelFlag = std::atomic<std::uint8_t>;

// A null flag is never set.
inline bool IsCancelRequested(const CancelFlag* flag) noexcept {
    return flag != nullptr && flag->load() != 0;
}

} // namespace printerutil
