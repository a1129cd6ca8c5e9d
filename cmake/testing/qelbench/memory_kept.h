// The memory that repeated operations leave behind, as the memory benchmarks measure it: the
// growth of committed private bytes over the counted runs, after a warm-up that lets caches and
// pools reach their size first.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "qelbench/figures.h"
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

// MemoryKept, then its line ("<count> <runs> after <warm-up> to warm up: ...") and its figure
// against `targetMb`; false when a run failed.
inline bool ReportMemoryKept(int warmUp, int count, const char* what, const std::string& runs,
                             double targetMb, const std::function<bool()>& operation) {
    const auto kept = MemoryKept(warmUp, count, what, operation);
    if (!kept) {
        return false;
    }
    std::printf("%d %s after %d to warm up: committed private bytes %+.0f KB, %.2f KB each\n",
                count, runs.c_str(), warmUp, *kept / 1024, *kept / 1024 / count);
    PrintFigure(
        {"memory kept over " + std::to_string(count) + " " + what + "s (committed private bytes)",
         *kept / (1024 * 1024), "MB", Goal::Below, targetMb, 2});
    return true;
}

} // namespace qelbench
