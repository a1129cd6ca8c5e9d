#include "block_gate.h"

namespace vtwidussim {

void BlockGate::Wait(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    const std::uint64_t epoch = releases_;
    ++blocked_;
    changed_.notify_all();
    changed_.wait_for(lock, limit, [&] { return releases_ != epoch; });
    --blocked_;
    changed_.notify_all();
}

bool BlockGate::WaitForBlocked(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return blocked_ >= count; });
}

void BlockGate::ReleaseAll() {
    std::lock_guard lock(mutex_);
    ++releases_;
    changed_.notify_all();
}

int BlockGate::Blocked() const {
    std::lock_guard lock(mutex_);
    return blocked_;
}

} // namespace vtwidussim
