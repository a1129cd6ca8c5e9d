// Every wait of the device operations and the registration: the pauses the flows are built
// around, the clock they measure with, and the bounded waits for background tasks. The program
// waits for real; a test takes them over so that no test sleeps.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace printerutil {

class IWaits {
public:
    virtual ~IWaits() = default;

    // Milliseconds of a monotonic clock; only differences mean anything.
    virtual std::int64_t NowMs() = 0;
    // A fixed pause.
    virtual void Pause(std::chrono::milliseconds duration) = 0;
    // One bounded wait for a background task: waitFor waits at most the given time and tells
    // whether the task is done. Gives what it tells.
    virtual bool Await(std::chrono::milliseconds bound,
                       const std::function<bool(std::chrono::milliseconds)>& waitFor) = 0;
};

// The process's waits: real ones unless a test put others in place.
IWaits& Waits();

// Puts other waits in place for the life of the guard (tests). Not nested across threads: set
// before the operations start and ended after they have.
class ScopedWaits {
public:
    explicit ScopedWaits(IWaits& waits);
    ~ScopedWaits();
    ScopedWaits(const ScopedWaits&) = delete;
    ScopedWaits& operator=(const ScopedWaits&) = delete;

private:
    IWaits* previous_;
};

} // namespace printerutil
