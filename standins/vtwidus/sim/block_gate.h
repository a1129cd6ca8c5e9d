// Lets a test hold a packet-library call inside the library (for example an exchange while
// the caller holds its own locks) and let it go again.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace vtwidussim {

class BlockGate {
public:
    // Waits until ReleaseAll or until the safety limit has passed, so a test that forgets to
    // release never hangs its process.
    void Wait(std::chrono::milliseconds limit);
    // True once at least count calls wait at the gate, within the time given.
    bool WaitForBlocked(int count, std::chrono::milliseconds timeout);
    void ReleaseAll();
    int Blocked() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int blocked_ = 0;
    std::uint64_t releases_ = 0;
};

} // namespace vtwidussim
