// How a screen runs one background operation: the task runs on the task pool while a progress
// dialog keeps the screen waiting, then its value comes back, or the exception it raised is
// raised here, on the UI thread.
#pragma once

#include <windows.h>

#include <chrono>
#include <future>
#include <string>
#include <type_traits>
#include <utility>

#include "screens/progress_callback.h"
#include "screens/progress_dialog.h"
#include "ui/TextLibrary.h"

namespace qelscreens {

namespace detail {

template <typename Future> struct FutureValue;
template <typename T> struct FutureValue<std::future<T>> { using type = T; };

// The task holds the cancel flag's address: never let the flag go while the task may run.
template <typename T> class AwaitOnExit {
public:
    AwaitOnExit(const std::shared_future<T>& result, CancelFlag& cancel) noexcept
        : result_(result), cancel_(cancel) {}
    ~AwaitOnExit() {
        if (result_.valid() &&
            result_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            RequestCancel(&cancel_);
            result_.wait();
        }
    }
    AwaitOnExit(const AwaitOnExit&) = delete;
    AwaitOnExit& operator=(const AwaitOnExit&) = delete;

private:
    const std::shared_future<T>& result_;
    CancelFlag& cancel_;
};

} // namespace detail

// Starts the operation with start(CancelFlag*) -> std::future<T> (the flag reads 0 and lives
// until the task has finished), shows the progress dialog over parent with the texts and title
// until it is done, and returns a copy of its value or raises its exception. A future without
// a task raises std::future_error (no_state) before any dialog shows.
template <typename Start>
auto RunWithProgress(ProgressDialog which, HWND parent, const qelui::TextLibrary* texts,
                     std::wstring title, Start&& start) ->
    typename detail::FutureValue<std::invoke_result_t<Start, CancelFlag*>>::type {
    using T = typename detail::FutureValue<std::invoke_result_t<Start, CancelFlag*>>::type;
    CancelFlag cancel{0};
    const std::shared_future<T> result = std::forward<Start>(start)(&cancel).share();
    const detail::AwaitOnExit<T> await(result, cancel);
    if (!result.valid()) {
        throw std::future_error(std::future_errc::no_state);
    }
    ProgressCB<T> callback(result, &cancel);
    DialogTimer timer;
    timer.SetTextLibrary(texts);
    timer.SetCallback(&callback);
    timer.SetTitle(std::move(title));
    timer.DoModal(which, parent);
    timer.Reset();
    if constexpr (std::is_void_v<T>) {
        result.get();
    } else {
        return T(result.get());
    }
}

} // namespace qelscreens
