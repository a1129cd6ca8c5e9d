// The library's fixed waits, reached through an injectable sleep so that tests record them
// instead of waiting.
#pragma once

#include <functional>

namespace vtqeldevc {

using SleepMilliseconds = std::function<void(unsigned)>;

// Waits ms through sleep, or through the system's Sleep when sleep is empty. A wait of 0 is no
// wait at all.
void Wait(const SleepMilliseconds& sleep, unsigned ms);

// A reply that is not ready yet is asked for again at most this many times in one exchange.
inline constexpr int kMaxNoDataYet = 13;
// The wait before asking again after the count-th "no data yet" of an exchange (1-based):
// at once, then 10 ms, 100 ms and 1000 ms from the fourth on.
unsigned NoDataYetWait(int count) noexcept;

} // namespace vtqeldevc
