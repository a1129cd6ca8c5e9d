// The worker's side of one exchange: sending, the authentication rounds and reading the answer,
// every call awaited no longer than the exchange's deadline.
#include <algorithm>
#include <chrono>
#include <climits>
#include <cwchar>
#include <string>

#include "qelcmn/constants.h"
#include "qelhttp/http_request_impl.h"

namespace qelhttp {

namespace {

using Deadline = AsyncRequest::Deadline;

// Starts one asynchronous call and waits for its completion, at most until the deadline.
template <typename Start>
AsyncRequest::Completion Call(AsyncRequest& link, Deadline deadline, Start start) {
    link.Begin();
    if (!start()) {
        return AsyncRequest::Completion{false, ::GetLastError(), 0};
    }
    return link.Await(deadline);
}

// Of several offered schemes WinHTTP takes one; the server's first choice when it is among
// them, else the lowest flag.
DWORD ChooseScheme(DWORD supported, DWORD first) {
    if ((supported & first) != 0) {
        return first;
    }
    return supported & (~supported + 1);
}

bool QueryStatus(HINTERNET request, int& status) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &value, &size,
                               WINHTTP_NO_HEADER_INDEX)) {
        return false;
    }
    status = static_cast<int>(value);
    return true;
}

// The announced body length; false when the answer announces none (chunked or to the end).
bool QueryContentLength(HINTERNET request, unsigned long long& length) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                               text, &size, WINHTTP_NO_HEADER_INDEX)) {
        return false;
    }
    wchar_t* end = nullptr;
    length = std::wcstoull(text, &end, 10);
    return end != text;
}

// Reads the whole body, in pieces of the link's buffer. A read that fails or outlasts the
// deadline, or a body shorter or longer than announced, is a failed read: a cut body must never
// pass as a complete answer.
bool ReadBody(HINTERNET request, AsyncRequest& link, Deadline deadline, bool expectBody,
              const std::atomic<bool>& closing, std::string& body) {
    body.clear();
    for (;;) {
        if (closing.load()) {
            return false;
        }
        const auto available = Call(
            link, deadline, [&] { return ::WinHttpQueryDataAvailable(request, nullptr) != FALSE; });
        if (!available.ok) {
            return false;
        }
        if (available.bytes == 0) {
            break;
        }
        const DWORD want = std::min(available.bytes, AsyncRequest::kReadBufferSize);
        if (want > static_cast<DWORD>(INT_MAX) - body.size()) {
            return false;
        }
        const auto read = Call(link, deadline, [&] {
            return ::WinHttpReadData(request, link.ReadBuffer(), want, nullptr) != FALSE;
        });
        if (!read.ok || read.bytes > want) {
            return false;
        }
        if (read.bytes == 0) {
            break;
        }
        body.append(link.ReadBuffer(), read.bytes);
    }
    unsigned long long announced = 0;
    if (expectBody && QueryContentLength(request, announced) && announced != body.size()) {
        return false;
    }
    return true;
}

} // namespace

bool HttpRequestImpl::ProvideProxyCredentials(HINTERNET request, DWORD scheme) {
    using qelcmn::CachedProxyPassword;
    using qelcmn::CachedProxyUserName;
    if (CachedProxyUserName.empty() || CachedProxyPassword.empty()) {
        std::wstring user;
        std::wstring password;
        bool entered = false;
        try {
            entered = options_.promptProxyCredentials(user, password);
        } catch (...) {
            entered = false;
        }
        CachedProxyUserName = user;
        CachedProxyPassword = password;
        SecureZeroMemory(password.data(), password.size() * sizeof(wchar_t));
        if (!entered) {
            return false;
        }
    }
    ::WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_PROXY, scheme, CachedProxyUserName.c_str(),
                            CachedProxyPassword.c_str(), nullptr);
    return true;
}

HttpRequestImpl::Outcome HttpRequestImpl::RunExchange(HINTERNET request, AsyncRequest& link) {
    Deadline deadline = std::chrono::steady_clock::now() + options_.exchangeLimit;
    Outcome outcome;
    DWORD pendingProxyScheme = 0;
    int previousStatus = 0;
    int proxyRounds = 0;
    const wchar_t* method = param_->GetMethod();
    const bool expectBody = method == nullptr || std::wcscmp(method, L"HEAD") != 0;

    const DWORD length = param_->GetBodyLength();
    void* body = length != 0 ? const_cast<void*>(link.KeepBody(param_->GetBody(), length))
                             : WINHTTP_NO_REQUEST_DATA;

    for (int sends = 0; sends < kMaxSendsPerExchange; ++sends) {
        if (closing_.load() || cancel_.load() != 0 ||
            std::chrono::steady_clock::now() >= deadline) {
            return Outcome{};
        }
        if (pendingProxyScheme != 0) {
            const auto asked = std::chrono::steady_clock::now();
            const bool provided = ProvideProxyCredentials(request, pendingProxyScheme);
            deadline += std::chrono::steady_clock::now() - asked;
            if (!provided) {
                break; // the user cancelled the prompt: the exchange ends with the last status
            }
        }
        if (const wchar_t* headers = param_->GetHeaders(); headers != nullptr && *headers) {
            ::WinHttpAddRequestHeaders(request, headers, static_cast<DWORD>(-1),
                                       WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
        }
        auto call = Call(link, deadline, [&] {
            return ::WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, body, length,
                                        length, link.Context()) != FALSE;
        });
        if (call.ok) {
            call = Call(link, deadline,
                        [&] { return ::WinHttpReceiveResponse(request, nullptr) != FALSE; });
        }
        const bool succeeded = call.ok;
        if (!succeeded && call.error == ERROR_WINHTTP_RESEND_REQUEST) {
            outcome = Outcome{};
            continue;
        }

        int status = 0;
        if (!succeeded || !QueryStatus(request, status)) {
            return Outcome{};
        }
        outcome = Outcome{0, status, {}};

        bool ok = false;
        bool done = false;
        if (status == HTTP_STATUS_OK) {
            if (!ReadBody(request, link, deadline, expectBody, closing_, outcome.body)) {
                return Outcome{};
            }
            ok = done = true;
        } else if (status == HTTP_STATUS_DENIED || status == HTTP_STATUS_PROXY_AUTH_REQ) {
            DWORD supported = 0;
            DWORD first = 0;
            DWORD target = 0;
            const bool queried =
                ::WinHttpQueryAuthSchemes(request, &supported, &first, &target) != FALSE;
            if (status == HTTP_STATUS_DENIED) {
                if (!queried) {
                    ok = false;
                } else if (supported == 0) {
                    ok = done = true;
                } else {
                    ok = ::WinHttpSetCredentials(request, target, ChooseScheme(supported, first),
                                                 serverUserName_.c_str(), serverPassword_.c_str(),
                                                 nullptr) != FALSE;
                }
                // Server credentials are tried once.
                done = done || previousStatus == HTTP_STATUS_DENIED;
            } else {
                pendingProxyScheme = queried ? ChooseScheme(supported, first) : 0;
                ok = queried;
                done = previousStatus == HTTP_STATUS_PROXY_AUTH_REQ;
            }
        } else {
            done = true;
        }

        if (status == HTTP_STATUS_PROXY_AUTH_REQ) {
            // A refusing proxy gets the cached credentials once more, then the user is asked
            // again, until four rounds have been refused.
            if (done && proxyRounds < 4) {
                done = false;
            }
            if (previousStatus == HTTP_STATUS_PROXY_AUTH_REQ && ++proxyRounds > 1) {
                qelcmn::CachedProxyUserName.clear();
                qelcmn::CachedProxyPassword.clear();
            }
        }
        previousStatus = status;
        if (done || !ok) {
            break;
        }
    }
    return outcome;
}

} // namespace qelhttp
