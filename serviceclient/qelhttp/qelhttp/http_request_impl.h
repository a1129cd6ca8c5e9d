// The request engine over WinHTTP: one worker thread per exchange, the user's proxy settings,
// server and proxy authentication with a prompt for the proxy, fixed time-outs for each call and
// a bound on the whole exchange.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "qelhttp/async_request.h"
#include "qelhttp/http_engine_options.h"
#include "qelhttp/http_request.h"
#include "qelhttp/winhttp_handles.h"

namespace qelhttp {

inline constexpr wchar_t kUserAgent[] = L"QelRegistration/1.8.0(Win)";
// Upper bound on sends of one exchange (authentication rounds and resend requests together).
inline constexpr int kMaxSendsPerExchange = 10;

class HttpRequestImpl : public IHttpRequest {
public:
    // Null instead of an exception when memory is short.
    static std::unique_ptr<HttpRequestImpl> Create(HttpEngineOptions options = {}) noexcept;

    explicit HttpRequestImpl(HttpEngineOptions options);
    ~HttpRequestImpl() override;
    HttpRequestImpl(const HttpRequestImpl&) = delete;
    HttpRequestImpl& operator=(const HttpRequestImpl&) = delete;

    int Open() override;
    int Close() override;
    int Send(IHttpRequestParam* param, IHttpRequestResponse* sink) override;
    void Cancel() override;
    void Wait() override;

    // The WinHTTP error that ended the last exchange without an answer (ERROR_WINHTTP_*), for
    // a diagnosis: the client only tells "no answer"; 0 after an answer.
    DWORD LastError() const { return lastError_.load(); }

private:
    struct Outcome {
        int failed = 1;
        int status = 0;
        std::string body;
        DWORD error = ERROR_WINHTTP_INTERNAL_ERROR;
    };

    bool OpenWinHttpSession();
    void SetTimeouts();
    void CloseHandles();
    void JoinWorker();
    void ReplaceLink(std::shared_ptr<AsyncRequest> link);
    std::shared_ptr<AsyncRequest> CurrentLink();
    bool StartWorker(HINTERNET request, std::shared_ptr<AsyncRequest> link);
    void Worker(HINTERNET request, std::shared_ptr<AsyncRequest> link) noexcept;
    Outcome RunExchange(HINTERNET request, AsyncRequest& link);
    bool ProvideProxyCredentials(HINTERNET request, DWORD scheme);

    HttpEngineOptions options_;
    unique_hinternet session_;
    unique_hinternet connection_;
    unique_hinternet request_;
    std::mutex linkLock_;                // Cancel comes from the owner's thread
    std::shared_ptr<AsyncRequest> link_; // of request_
    std::wstring serverUserName_;
    std::wstring serverPassword_;
    std::atomic<int> cancel_{0};
    std::atomic<DWORD> lastError_{0};
    std::mutex deliveryLock_; // once Cancel has returned, no outcome is delivered
    std::thread worker_;
    IHttpRequestResponse* sink_ = nullptr;
    IHttpRequestParam* param_ = nullptr;
};

} // namespace qelhttp
