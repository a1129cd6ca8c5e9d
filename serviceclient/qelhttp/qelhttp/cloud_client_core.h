// What the gateway client and the token/printer-ID client share: the state word that the
// owner's thread uses to cancel, the request engine the client owns, and one exchange.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "qelhttp/http_request.h"

namespace qelhttp {

// States of a client's state word.
enum ClientState : int {
    kClientFresh = 0,           // no request engine opened yet
    kClientBusy = 1,            // an exchange is in flight
    kClientCancelRequested = 2, // the owner asked to stop; the next check throws
    kClientIdle = 3,
};

using HttpEngineFactory = std::function<std::unique_ptr<IHttpRequest>()>;

// The program's engine: an HttpRequestImpl with the desktop's proxy settings and prompt.
std::unique_ptr<IHttpRequest> MakeDefaultHttpEngine();

class CloudClientCore {
public:
    CloudClientCore(HttpEngineFactory factory, std::wstring cancelMessage);
    CloudClientCore(const CloudClientCore&) = delete;
    CloudClientCore& operator=(const CloudClientCore&) = delete;

    // One atomic step: a state of 2 becomes 3 and throws qel_operation_canceled; any other
    // state is replaced by the new one, and the old one is given back.
    int CheckCancel(int newState);
    // Atomic exchange; gives the old state.
    int SetState(int newState);
    int State() const { return state_.load(); }

    // The owner's one way to stop the client, from any thread: the cancel state, so that the
    // client's next check throws, and the end of the exchange in flight, wherever it stands.
    void RequestCancel();
    // Closes and deletes the engine (the owner does this once the client's task has ended).
    void ReleaseRequestObject() { request_.reset(); }

    // Creates and opens the engine unless the client has one; then the client becomes idle.
    // Throws http_exception (0) when the engine cannot be made or opened.
    void EnsureRequestObject();

    // Busy, send, wait, idle, then the result check: throws for a cancel request, a refused
    // send, no status or a status of 400 or more.
    void Exchange(IHttpRequestParam& param, IHttpRequestResponse& sink, const int& status);

private:
    std::atomic<int> state_{kClientFresh};
    std::unique_ptr<IHttpRequest> request_;
    HttpEngineFactory factory_;
    std::wstring cancelMessage_;
};

// What an owner may do with any cloud client while the client's task runs on a worker.
class CloudClient {
public:
    int CheckCancel(int newState) { return core_.CheckCancel(newState); }
    int SetState(int newState) { return core_.SetState(newState); }
    int State() const { return core_.State(); }
    void RequestCancel() { core_.RequestCancel(); }
    void ReleaseRequestObject() { core_.ReleaseRequestObject(); }

protected:
    CloudClient(HttpEngineFactory factory, std::wstring cancelMessage)
        : core_(std::move(factory), std::move(cancelMessage)) {}

    CloudClientCore core_;
};

} // namespace qelhttp
