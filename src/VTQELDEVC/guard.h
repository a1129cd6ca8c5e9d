// The library's one error boundary. Every export and every slot of the device object runs its
// work through it: whatever the work throws (memory, a broken invariant) ends as the caller's
// failure code, and nothing thrown ever leaves the library. Code below the boundary throws
// freely and releases through its owners.
#pragma once

#include <utility>

namespace vtqeldevc {

template <typename Work> int Guarded(int failure, Work&& work) noexcept {
    try {
        return std::forward<Work>(work)();
    } catch (...) {
        return failure;
    }
}

} // namespace vtqeldevc
