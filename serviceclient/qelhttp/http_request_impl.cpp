#include "qelhttp/http_request_impl.h"

#include <new>
#include <system_error>
#include <utility>
#include <vector>

namespace qelhttp {

namespace {

constexpr DWORD kAddressBufferChars = 2048;

} // namespace

std::unique_ptr<HttpRequestImpl> HttpRequestImpl::Create(HttpEngineOptions options) noexcept {
    try {
        return std::make_unique<HttpRequestImpl>(std::move(options));
    } catch (...) {
        return nullptr;
    }
}

HttpRequestImpl::HttpRequestImpl(HttpEngineOptions options) : options_(std::move(options)) {
    if (!options_.readProxySettings) {
        options_.readProxySettings = ReadUserProxySettings;
    }
    if (!options_.promptProxyCredentials) {
        options_.promptProxyCredentials = PromptProxyCredentials;
    }
    if (!options_.clock) {
        options_.clock = std::chrono::steady_clock::now;
    }
}

HttpRequestImpl::~HttpRequestImpl() {
    Close();
    // The server credentials may hold a password: wipe them before the memory goes back.
    SecureZeroMemory(serverPassword_.data(), serverPassword_.size() * sizeof(wchar_t));
}

bool HttpRequestImpl::OpenWinHttpSession() {
    UserProxySettings proxy;
    try {
        proxy = options_.readProxySettings();
    } catch (...) {
        proxy = {};
    }
    // Asynchronous, so that the worker waits for each call only until the exchange's deadline
    // (async_request.h).
    if (!proxy.proxy.empty()) {
        session_.reset(
            ::WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.proxy.c_str(),
                          proxy.bypass.empty() ? WINHTTP_NO_PROXY_BYPASS : proxy.bypass.c_str(),
                          WINHTTP_FLAG_ASYNC));
    } else {
        session_.reset(::WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                     WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                                     WINHTTP_FLAG_ASYNC));
    }
    return static_cast<bool>(session_);
}

void HttpRequestImpl::SetTimeouts() {
    const int t = options_.timeoutMs;
    ::WinHttpSetTimeouts(session_.get(), t, t, t, t);
}

int HttpRequestImpl::Open() {
    if (!session_ && !OpenWinHttpSession()) {
        return 1;
    }
    SetTimeouts();
    return 0;
}

int HttpRequestImpl::Close() {
    CloseHandles();
    return 0;
}

void HttpRequestImpl::CloseHandles() {
    if (worker_.joinable()) {
        // Whoever closes the engine no longer waits for an outcome: a close is a cancel, so
        // nothing is delivered once it began. The worker stops waiting for its call at once and
        // is joined, so it never outlives the handles, the parameter or the sink it uses.
        Cancel();
        worker_.join();
    }
    request_.reset();
    ReplaceLink(nullptr);
    connection_.reset();
    session_.reset();
}

void HttpRequestImpl::JoinWorker() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

int HttpRequestImpl::Send(IHttpRequestParam* param, IHttpRequestResponse* sink) {
    if (param == nullptr) {
        return 1;
    }
    // One exchange at a time: an earlier worker has finished (or is about to) by now.
    JoinWorker();
    if (!session_ && !OpenWinHttpSession()) {
        return 1;
    }
    SetTimeouts();
    cancel_.exchange(0);
    request_.reset();
    ReplaceLink(nullptr);
    connection_.reset();

    try {
        const wchar_t* user = param->GetUser();
        const wchar_t* password = param->GetPassword();
        serverUserName_ = user != nullptr ? user : L"";
        SecureZeroMemory(serverPassword_.data(), serverPassword_.size() * sizeof(wchar_t));
        serverPassword_ = password != nullptr ? password : L"";
    } catch (const std::bad_alloc&) {
        return 1;
    }
    sink_ = sink;
    param_ = param;

    const wchar_t* url = param->GetUrl();
    if (url == nullptr || *url == L'\0') {
        return 1;
    }

    std::vector<wchar_t> host(kAddressBufferChars);
    std::vector<wchar_t> path(kAddressBufferChars);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = kAddressBufferChars;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = kAddressBufferChars;
    if (!::WinHttpCrackUrl(url, 0, 0, &parts)) {
        // An address that cannot be parsed is a failed exchange, told at once.
        lastError_.store(::GetLastError());
        if (sink_ != nullptr) {
            sink_->OnResponse(1, 0, "", 0);
        }
        return 0;
    }

    connection_.reset(::WinHttpConnect(session_.get(), host.data(), parts.nPort, 0));
    if (connection_) {
        const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
        request_.reset(::WinHttpOpenRequest(connection_.get(), param->GetMethod(), path.data(),
                                            nullptr, WINHTTP_NO_REFERER,
                                            WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    }
    if (request_) {
        // Waiting for the answer's headers has a time-out of its own; it gets the same value,
        // so a silent server ends the exchange after the receive time-out too.
        DWORD timeout = static_cast<DWORD>(options_.timeoutMs);
        ::WinHttpSetOption(request_.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &timeout,
                           sizeof(timeout));
        ReplaceLink(AsyncRequest::Attach(request_.get()));
    }
    std::shared_ptr<AsyncRequest> link = CurrentLink();
    if (!link || !StartWorker(request_.get(), std::move(link))) {
        return 1;
    }
    return 0;
}

void HttpRequestImpl::ReplaceLink(std::shared_ptr<AsyncRequest> link) {
    std::lock_guard<std::mutex> lock(linkLock_);
    link_ = std::move(link);
}

std::shared_ptr<AsyncRequest> HttpRequestImpl::CurrentLink() {
    std::lock_guard<std::mutex> lock(linkLock_);
    return link_;
}

bool HttpRequestImpl::StartWorker(HINTERNET request, std::shared_ptr<AsyncRequest> link) {
    try {
        worker_ = std::thread(&HttpRequestImpl::Worker, this, request, std::move(link));
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void HttpRequestImpl::Cancel() {
    {
        // Waits for an outcome being delivered at this moment; none is delivered after it.
        std::lock_guard<std::mutex> lock(deliveryLock_);
        cancel_.exchange(1);
    }
    // The worker stops waiting for WinHTTP: nobody takes the outcome of a cancelled exchange.
    if (std::shared_ptr<AsyncRequest> link = CurrentLink()) {
        link->Interrupt();
    }
}

void HttpRequestImpl::Wait() {
    JoinWorker();
}

void HttpRequestImpl::Worker(HINTERNET request, std::shared_ptr<AsyncRequest> link) noexcept {
    Outcome outcome;
    try {
        outcome = RunExchange(request, *link);
    } catch (...) {
        // Out of memory for a body, or a parameter object that threw: a failed exchange.
        outcome = Outcome{};
    }
    lastError_.store(outcome.failed != 0 ? outcome.error : 0);
    std::lock_guard<std::mutex> lock(deliveryLock_);
    if (cancel_.load() == 0 && sink_ != nullptr) {
        try {
            sink_->OnResponse(outcome.failed, outcome.status, outcome.body.data(),
                              static_cast<int>(outcome.body.size()));
        } catch (...) {
            // A sink that cannot take the outcome (no memory for a copy of the body) keeps
            // what it had; nothing may leave the worker thread.
        }
    }
}

} // namespace qelhttp
