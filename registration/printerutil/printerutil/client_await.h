// Waiting for a cloud client's task in short slices, so that a cancel request of the screen
// reaches the client while its exchange is in flight.
#pragma once

#include <chrono>
#include <future>

#include "printerutil/cancel_flag.h"
#include "printerutil/waits.h"
#include "qelhttp/cloud_client_core.h"

namespace printerutil {

inline constexpr std::chrono::milliseconds kAwaitSlice{200};

// Waits slice by slice until the task is done; after a slice that was not, a set cancel flag
// stops the client once (its exchange is cancelled and its next check throws). Gives the task's
// result or throws its exception.
template <typename Result>
Result AwaitClientTask(std::future<Result>& task, qelhttp::CloudClient& client,
                       const CancelFlag* cancel) {
    const auto waitFor = [&task](std::chrono::milliseconds bound) {
        return task.wait_for(bound) == std::future_status::ready;
    };
    bool stopAsked = false;
    while (!Waits().Await(kAwaitSlice, waitFor)) {
        if (!stopAsked && IsCancelRequested(cancel)) {
            stopAsked = true;
            client.RequestCancel();
        }
    }
    return task.get();
}

// Runs a client's task body on a worker of its own and awaits it as above.
template <typename Body>
auto RunClientTask(qelhttp::CloudClient& client, Body body, const CancelFlag* cancel) {
    auto task = std::async(std::launch::async, std::move(body));
    return AwaitClientTask(task, client, cancel);
}

} // namespace printerutil
