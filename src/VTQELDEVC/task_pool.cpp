#include "task_pool.h"

#include <atomic>
#include <exception>
#include <vector>

namespace vtqeldevc {
namespace {

struct Batch {
    const std::function<void(std::size_t)>& task;
    std::atomic<std::size_t> next{0};
    std::vector<std::exception_ptr> errors;
};

// Each submission of the work runs the next task of the batch.
void CALLBACK RunNext(PTP_CALLBACK_INSTANCE, void* context, PTP_WORK) noexcept {
    auto& batch = *static_cast<Batch*>(context);
    const std::size_t index = batch.next++;
    try {
        batch.task(index);
    } catch (...) {
        batch.errors[index] = std::current_exception();
    }
}

} // namespace

TaskPool::TaskPool(int threads) noexcept {
    if (threads < 2) {
        return;
    }
    pool_ = ::CreateThreadpool(nullptr);
    if (pool_ == nullptr) {
        return;
    }
    ::SetThreadpoolThreadMaximum(pool_, static_cast<DWORD>(threads));
    if (!::SetThreadpoolThreadMinimum(pool_, static_cast<DWORD>(threads))) {
        ::CloseThreadpool(pool_);
        pool_ = nullptr;
        return;
    }
    ::InitializeThreadpoolEnvironment(&environment_);
    ::SetThreadpoolCallbackPool(&environment_, pool_);
}

TaskPool::~TaskPool() {
    if (pool_ != nullptr) {
        ::DestroyThreadpoolEnvironment(&environment_);
        ::CloseThreadpool(pool_);
    }
}

void TaskPool::RunBatch(std::size_t count, const std::function<void(std::size_t)>& task) {
    Batch batch{task, {}, std::vector<std::exception_ptr>(count)};
    PTP_WORK work = pool_ != nullptr && count > 1
                        ? ::CreateThreadpoolWork(RunNext, &batch, &environment_)
                        : nullptr;
    if (work == nullptr) {
        for (std::size_t i = 0; i < count; ++i) {
            task(i);
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        ::SubmitThreadpoolWork(work);
    }
    ::WaitForThreadpoolWorkCallbacks(work, FALSE);
    ::CloseThreadpoolWork(work);
    for (const std::exception_ptr& error : batch.errors) {
        if (error) {
            std::rethrow_exception(error);
        }
    }
}

} // namespace vtqeldevc
