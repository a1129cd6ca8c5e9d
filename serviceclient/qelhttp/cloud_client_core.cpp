#include "qelhttp/cloud_client_core.h"

#include "qelcmn/exceptions.h"
#include "qelhttp/http_request_impl.h"
#include "qelhttp/http_result.h"

namespace qelhttp {

std::unique_ptr<IHttpRequest> MakeDefaultHttpEngine() {
    return HttpRequestImpl::Create();
}

CloudClientCore::CloudClientCore(HttpEngineFactory factory, std::wstring cancelMessage)
    : factory_(factory ? std::move(factory) : HttpEngineFactory(MakeDefaultHttpEngine)),
      cancelMessage_(std::move(cancelMessage)) {}

int CloudClientCore::CheckCancel(int newState) {
    int current = state_.load();
    for (;;) {
        if (current == kClientCancelRequested) {
            if (state_.compare_exchange_weak(current, kClientIdle)) {
                throw qel_operation_canceled(cancelMessage_);
            }
        } else if (state_.compare_exchange_weak(current, newState)) {
            return current;
        }
    }
}

int CloudClientCore::SetState(int newState) {
    return state_.exchange(newState);
}

void CloudClientCore::RequestCancel() {
    // The state word is the one record of a cancel: whoever finds the client busy ends its
    // exchange. Busy is set only after the engine exists, so the engine is there to cancel.
    if (state_.exchange(kClientCancelRequested) == kClientBusy) {
        request_->Cancel();
    }
}

void CloudClientCore::EnsureRequestObject() {
    if (request_) {
        return;
    }
    try {
        request_ = factory_();
    } catch (...) {
        request_.reset();
    }
    if (!request_) {
        throw http_exception(kCodeSessionFailed, L"Http : Session memory allocation failed.");
    }
    if (request_->Open() == 1) {
        throw http_exception(kCodeSessionFailed, L"Http : Session Initialize failed.");
    }
    CheckCancel(kClientIdle);
}

void CloudClientCore::Exchange(IHttpRequestParam& param, IHttpRequestResponse& sink,
                               const int& status) {
    CheckCancel(kClientBusy);
    int result = request_->Open();
    if (result == 0) {
        result = request_->Send(&param, &sink);
    }
    // A cancel between the busy mark and the send found no exchange yet (and Send starts with
    // a clean engine): it is ended here instead.
    if (state_.load() == kClientCancelRequested) {
        request_->Cancel();
    }
    request_->Wait();
    CheckCancel(kClientIdle);
    CheckHttpResult(result, status);
}

} // namespace qelhttp
