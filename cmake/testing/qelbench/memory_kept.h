// The memory that repeated operations leave behind, as the memory benchmarks measure it: the
// growth of committed private bytes over the counted runs, after a warm-up that lets caches and
// pools reach their size first.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>

#include "win/committed_memory.h"

namespace qelbench {

// Bytes kept over `count` runs of `operation` after `warmUp` runs; none when a run failed (it is
// named on stderr as "<what> <n> failed", n counted from the first warm-up run).
inline std::optional<double> MemoryKept(int warmUp, int count, const char* what,
                                        const std::function<bool()>& operation) {
    std::uint64_t before = 0;
    for (int i = 0; i < warmUp + count; ++i) {
        if (i == warmUp) {
            before = qelwin::CommittedPrivateBytes();
        }
        if (!operation()) {
            std::fprintf(stderr, "%s %d failed\n", what, i + 1);
            return std::nullopt;
        }
    }
    return static_cast<double>(qelwin::CommittedPrivateBytes()) - static_cast<double>(before);
}

} // namespace qelbench
