#include "printerutil/notice_threads.h"

#include <algorithm>
#include <utility>

#include "printerutil/waits.h"

namespace printerutil {

NoticeThreads::~NoticeThreads() {
    Finish();
}

void NoticeThreads::Keep(std::thread thread, std::shared_future<void> finished,
                         std::chrono::milliseconds bound, std::function<void()> stop) noexcept {
    Kept kept{std::move(thread), std::move(finished), 0, bound, std::move(stop)};
    try {
        kept.startMs = Waits().NowMs();
        std::lock_guard<std::mutex> hold(lock_);
        kept_.push_back(std::move(kept));
    } catch (...) {
        kept.bound = std::chrono::milliseconds(0);
        End(kept);
    }
}

void NoticeThreads::Finish() noexcept {
    std::vector<Kept> kept;
    try {
        std::lock_guard<std::mutex> hold(lock_);
        kept.swap(kept_);
    } catch (...) {
        return;
    }
    for (Kept& k : kept) {
        End(k);
    }
}

void NoticeThreads::End(Kept& k) noexcept {
    try {
        // What is left of the bound; never more than the bound, whatever clock ran meanwhile.
        const std::int64_t left = std::clamp<std::int64_t>(
            k.startMs + k.bound.count() - Waits().NowMs(), 0, k.bound.count());
        const std::shared_future<void> finished = k.finished;
        const bool done = left > 0 && Waits().Await(std::chrono::milliseconds(left),
                                                    [&finished](std::chrono::milliseconds bound) {
                                                        return finished.wait_for(bound) ==
                                                               std::future_status::ready;
                                                    });
        if (!done && k.stop) {
            k.stop();
        }
    } catch (...) {
        // Joined all the same: a stopped exchange ends without waiting for the server.
    }
    try {
        if (k.thread.joinable()) {
            k.thread.join();
        }
    } catch (...) {
        // Only a thread that joins itself gets here; no notice thread finishes notices.
    }
}

std::size_t NoticeThreads::Count() {
    std::lock_guard<std::mutex> hold(lock_);
    return kept_.size();
}

NoticeThreads& Notices() {
    static NoticeThreads notices;
    return notices;
}

} // namespace printerutil
