// Waits that take no time: the clock moves only when the code under test pauses, and every pause
// and bounded wait is recorded. A test can answer a bounded wait itself ("not done yet") to
// reach the code that runs between slices.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "printerutil/waits.h"

namespace printerutil::testing {

class FakeWaits final : public IWaits {
public:
    // Asked before each bounded wait with its index (from 0) and bound; giving false reports
    // "not done" without waiting. Unset: every wait goes on.
    std::function<bool(int index, std::chrono::milliseconds bound)> beforeAwait;
    // Told after each bounded wait that went on whether the task was done.
    std::function<void(int index, bool done)> afterAwait;

    std::int64_t NowMs() override;
    void Pause(std::chrono::milliseconds duration) override;
    bool Await(std::chrono::milliseconds bound,
               const std::function<bool(std::chrono::milliseconds)>& waitFor) override;

    // Moves the clock as if the code had worked that long.
    void Advance(std::chrono::milliseconds duration);
    std::vector<std::int64_t> Pauses() const;
    std::vector<std::int64_t> AwaitBounds() const;
    std::int64_t PausedMs() const;

private:
    mutable std::mutex lock_;
    std::int64_t now_ = 1000000;
    std::vector<std::int64_t> pauses_;
    std::vector<std::int64_t> awaits_;
};

} // namespace printerutil::testing
