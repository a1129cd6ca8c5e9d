#include "printerutil_testing/fake_waits.h"

#include <numeric>

namespace printerutil::testing {
namespace {

// How long a bounded wait really waits for its task: a task that is this late has hung.
constexpr std::chrono::seconds kTaskLimit{60};

} // namespace

std::int64_t FakeWaits::NowMs() {
    std::lock_guard<std::mutex> hold(lock_);
    return now_;
}

void FakeWaits::Pause(std::chrono::milliseconds duration) {
    std::lock_guard<std::mutex> hold(lock_);
    pauses_.push_back(duration.count());
    now_ += duration.count();
}

bool FakeWaits::Await(std::chrono::milliseconds bound,
                      const std::function<bool(std::chrono::milliseconds)>& waitFor) {
    int index = 0;
    {
        std::lock_guard<std::mutex> hold(lock_);
        index = static_cast<int>(awaits_.size());
        awaits_.push_back(bound.count());
    }
    if (beforeAwait && !beforeAwait(index, bound)) {
        return false;
    }
    // The task's own time (a loopback exchange) is real; only the bound is taken away.
    const bool done = waitFor(kTaskLimit);
    if (afterAwait) {
        afterAwait(index, done);
    }
    return done;
}

void FakeWaits::Advance(std::chrono::milliseconds duration) {
    std::lock_guard<std::mutex> hold(lock_);
    now_ += duration.count();
}

std::vector<std::int64_t> FakeWaits::Pauses() const {
    std::lock_guard<std::mutex> hold(lock_);
    return pauses_;
}

std::vector<std::int64_t> FakeWaits::AwaitBounds() const {
    std::lock_guard<std::mutex> hold(lock_);
    return awaits_;
}

std::int64_t FakeWaits::PausedMs() const {
    std::lock_guard<std::mutex> hold(lock_);
    return std::accumulate(pauses_.begin(), pauses_.end(), std::int64_t{0});
}

} // namespace printerutil::testing
