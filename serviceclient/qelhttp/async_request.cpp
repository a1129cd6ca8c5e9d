#include "qelhttp/async_request.h"

#include <cstring>
#include <new>

namespace qelhttp {

namespace {

// The link's own reference, held by WinHTTP as the handle's context until the handle closes.
using Holder = std::shared_ptr<AsyncRequest>;

} // namespace

std::shared_ptr<AsyncRequest> AsyncRequest::Attach(HINTERNET request) {
    std::shared_ptr<AsyncRequest> link;
    Holder* holder = nullptr;
    try {
        link = std::make_shared<AsyncRequest>();
        holder = new Holder(link);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    link->context_ = reinterpret_cast<DWORD_PTR>(holder);
    DWORD_PTR context = link->context_;
    const DWORD flags = WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES |
                        WINHTTP_CALLBACK_FLAG_RECEIVE_RESPONSE;
    if (!::WinHttpSetOption(request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof(context)) ||
        ::WinHttpSetStatusCallback(request, &AsyncRequest::OnStatus, flags, 0) ==
            WINHTTP_INVALID_STATUS_CALLBACK) {
        // No callback will ever report the handle closed: the reference is ours to drop.
        delete holder;
        return nullptr;
    }
    return link;
}

bool AsyncRequest::Begin() {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = false;
    completion_ = {};
    return !interrupted_;
}

AsyncRequest::Completion AsyncRequest::Await(std::chrono::steady_clock::duration left) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, left, [this] { return done_ || interrupted_; });
    if (interrupted_) {
        return Completion{false, ERROR_WINHTTP_OPERATION_CANCELLED, 0};
    }
    if (!done_) {
        return Completion{false, ERROR_WINHTTP_TIMEOUT, 0};
    }
    return completion_;
}

void AsyncRequest::Interrupt() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        interrupted_ = true;
    }
    changed_.notify_all();
}

const void* AsyncRequest::KeepBody(const void* data, DWORD length) {
    body_.assign(static_cast<const char*>(data), length);
    return body_.data();
}

void AsyncRequest::Complete(const Completion& completion) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
        completion_ = completion;
    }
    changed_.notify_all();
}

void CALLBACK AsyncRequest::OnStatus(HINTERNET, DWORD_PTR context, DWORD status, void* info,
                                     DWORD length) {
    auto* holder = reinterpret_cast<Holder*>(context);
    if (holder == nullptr) {
        return;
    }
    try {
        AsyncRequest& link = **holder;
        switch (status) {
        case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
        case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
            link.Complete(Completion{true, 0, 0});
            break;
        case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE: {
            DWORD available = 0;
            if (info != nullptr) {
                std::memcpy(&available, info, sizeof(available));
            }
            link.Complete(Completion{true, 0, available});
            break;
        }
        case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
            link.Complete(Completion{true, 0, length});
            break;
        case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR: {
            DWORD error = ERROR_WINHTTP_INTERNAL_ERROR;
            if (info != nullptr) {
                error = static_cast<const WINHTTP_ASYNC_RESULT*>(info)->dwError;
            }
            link.Complete(Completion{false, error, 0});
            break;
        }
        case WINHTTP_CALLBACK_STATUS_RESPONSE_RECEIVED:
            if (info != nullptr && length >= sizeof(DWORD) &&
                *static_cast<const DWORD*>(info) == 0) {
                link.serverClosed_.store(true);
            }
            break;
        case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
            delete holder; // the last callback of the handle
            break;
        default:
            break;
        }
    } catch (...) {
        // A waiter that cannot be told runs into its deadline; nothing may leave the callback.
    }
}

} // namespace qelhttp
