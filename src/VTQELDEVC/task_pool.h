// A pool of threads for one network search, that asks each printer on a task of its own, a batch
// at a time: the threads are made once for the search, as many as a batch holds, so that every
// task of a batch runs at once and no task waits for a thread to be made.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

namespace vtqeldevc {

class TaskPool {
public:
    // threads < 2, or a pool the system cannot make: the tasks run on the calling thread.
    explicit TaskPool(int threads) noexcept;
    ~TaskPool();
    TaskPool(const TaskPool&) = delete;
    TaskPool& operator=(const TaskPool&) = delete;

    // Runs task(0) .. task(count - 1), side by side when the pool has threads for them, and
    // returns once every one has returned (also its callback, so the library may be unloaded
    // afterwards). The first exception that a task threw is thrown again here.
    void RunBatch(std::size_t count, const std::function<void(std::size_t)>& task);

private:
    PTP_POOL pool_ = nullptr;
    TP_CALLBACK_ENVIRON environment_{};
};

} // namespace vtqeldevc
