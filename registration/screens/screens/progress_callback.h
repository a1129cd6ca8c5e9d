// A background operation the UI thread can poll without waiting on it.
#pragma once

#include <chrono>
#include <future>
#include <utility>

#include "printerutil/cancel_flag.h"

namespace qelscreens {

// The cancel flag of one operation: 0 go on, 1 cancel requested. The UI side owns it; the task
// reads it between its steps. Both sides use it atomically.
using printerutil::CancelFlag;

class PollingCallBack {
public:
    // The operation has finished, with a value or with an exception.
    virtual bool IsDone() = 0;
    // Asks the operation to stop.
    virtual void Cancel() = 0;

protected:
    ~PollingCallBack() = default; // never destroyed through this interface
};

// Requests a stop through the flag (null: nothing to request).
void RequestCancel(CancelFlag* flag) noexcept;

// The poll of one task's future.
template <typename T> class ProgressCB final : public PollingCallBack {
public:
    ProgressCB(std::shared_future<T> result, CancelFlag* cancel) noexcept
        : result_(std::move(result)), cancel_(cancel) {}

    // Raises std::future_error (no_state) for a future that holds no task.
    bool IsDone() override {
        if (!result_.valid()) {
            throw std::future_error(std::future_errc::no_state);
        }
        return result_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }

    void Cancel() override { RequestCancel(cancel_); }

private:
    std::shared_future<T> result_;
    CancelFlag* cancel_;
};

} // namespace qelscreens
