// One request handle's link with WinHTTP's status callback. The engine's session is
// asynchronous so that no WinHTTP call can hold the worker past the exchange's deadline: each
// call is started, then awaited here at most until the deadline. A call left running (Wine lets
// it run to the end of its read) writes only into memory that this object owns, and the object
// lives until WinHTTP reports the handle closed.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace qelhttp {

class AsyncRequest {
public:
    using Deadline = std::chrono::steady_clock::time_point;

    struct Completion {
        bool ok = false;
        DWORD error = 0; // the WinHTTP error of a failed call
        DWORD bytes = 0; // bytes available or read
    };

    // Binds a new link to the request handle; null when WinHTTP refuses the callback.
    static std::shared_ptr<AsyncRequest> Attach(HINTERNET request);

    AsyncRequest() { ++live_; }
    ~AsyncRequest() { --live_; }
    AsyncRequest(const AsyncRequest&) = delete;
    AsyncRequest& operator=(const AsyncRequest&) = delete;

    // The value WinHTTP hands back to the callback.
    DWORD_PTR Context() const { return context_; }

    // Before each asynchronous call: forgets the previous call's completion. False once the
    // link was interrupted: nothing may start after a cancel.
    bool Begin();
    // The completion of the call begun last, awaited for at most that long; a failed completion
    // with ERROR_WINHTTP_TIMEOUT when the time passed, ERROR_WINHTTP_OPERATION_CANCELLED when
    // the link was interrupted first.
    Completion Await(std::chrono::steady_clock::duration left);
    // Wakes every wait for good (the exchange was cancelled or the engine is closing).
    void Interrupt();
    // Whether a receive found the connection closed by the server since this was last asked:
    // otherwise a chunked body cut before its last chunk ends like a whole one (Wine).
    bool TakeServerClosed() { return serverClosed_.exchange(false); }

    // The request body, kept here because WinHTTP reads it after the call has returned.
    const void* KeepBody(const void* data, DWORD length);
    // Where reads go: WinHTTP may still write there after a wait gave up.
    char* ReadBuffer() { return readBuffer_.get(); }
    static constexpr DWORD kReadBufferSize = 64 * 1024;

    // Links not yet freed: each lives until WinHTTP reports its handle closed.
    static int Live() { return live_.load(); }

private:
    static void CALLBACK OnStatus(HINTERNET handle, DWORD_PTR context, DWORD status, void* info,
                                  DWORD length);
    void Complete(const Completion& completion);

    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
    bool interrupted_ = false;
    Completion completion_;
    std::string body_;
    std::unique_ptr<char[]> readBuffer_ = std::make_unique<char[]>(kReadBufferSize);
    DWORD_PTR context_ = 0;
    std::atomic<bool> serverClosed_{false};
    static inline std::atomic<int> live_{0};
};

} // namespace qelhttp
