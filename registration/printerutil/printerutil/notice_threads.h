// The notice exchanges still on their way: each runs on a thread of its own so that no screen
// waits for the gateway longer than the notice's bound, and the program keeps every such thread
// until it ends, so that none runs while the process tears itself down.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace printerutil {

class NoticeThreads {
public:
    NoticeThreads() = default;
    NoticeThreads(const NoticeThreads&) = delete;
    NoticeThreads& operator=(const NoticeThreads&) = delete;
    // Finishes what is left.
    ~NoticeThreads();

    // Takes a thread that has just started: finished becomes ready when its work is done, its
    // bound passes that long from now (on the clock of Waits()), stop asks it to end at once.
    // Should the thread not be kept (no memory), it is stopped and joined here.
    void Keep(std::thread thread, std::shared_future<void> finished,
              std::chrono::milliseconds bound, std::function<void()> stop) noexcept;
    // Waits for each thread until its work is done or its bound passed, stops what is still
    // running and joins every thread.
    void Finish() noexcept;
    // Threads kept and not yet joined.
    std::size_t Count();

private:
    struct Kept;
    static void End(Kept& kept) noexcept;

    struct Kept {
        std::thread thread;
        std::shared_future<void> finished;
        std::int64_t startMs;
        std::chrono::milliseconds bound;
        std::function<void()> stop;
    };

    std::mutex lock_;
    std::vector<Kept> kept_;
};

// The process's notice threads; the program finishes them as it ends.
NoticeThreads& Notices();

} // namespace printerutil
