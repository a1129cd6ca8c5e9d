// How much memory this process has committed for itself, for tests and benchmarks that watch it
// grow.
#pragma once

#include <windows.h>

#include <cstdint>

namespace qelwin {

// Committed private bytes: every committed region of the address space that belongs to this
// process alone (heaps, stacks, VirtualAlloc), what PROCESS_MEMORY_COUNTERS_EX.PrivateUsage
// counts on Windows. Counted by walking the address space, since Wine reports that counter as 0.
inline std::uint64_t CommittedPrivateBytes() noexcept {
    std::uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* address = nullptr;
         ::VirtualQuery(address, &region, sizeof region) == sizeof region;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += region.RegionSize;
        }
    }
    return total;
}

} // namespace qelwin
