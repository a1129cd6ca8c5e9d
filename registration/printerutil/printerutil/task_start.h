// Starting a background operation so that nothing but its own outcome reaches the future: a
// worker that cannot be started, or a failure of the program itself inside the work, gives the
// operation's fallback (a result, or the exception the fallback throws).
#pragma once

#include <future>
#include <utility>

#include "qelcmn/exceptions.h"

namespace printerutil {

template <typename Result, typename Work, typename Fallback>
std::future<Result> StartTask(Work work, Fallback fallback) {
    auto body = [work = std::move(work), fallback]() mutable -> Result {
        try {
            return work();
        } catch (const qelcmn::qel_exception&) {
            throw;
        } catch (...) {
            return fallback();
        }
    };
    try {
        return std::async(std::launch::async, std::move(body));
    } catch (...) {
        std::promise<Result> ready;
        try {
            ready.set_value(fallback());
        } catch (...) {
            ready.set_exception(std::current_exception());
        }
        return ready.get_future();
    }
}

} // namespace printerutil
