// The worker's side of one exchange: sending, the authentication rounds and reading the answer,
// every call awaited no longer than the exchange's deadline.
#include <algorithm>
#include <chrono>
#include <climits>
#include <cwchar>
#include <functional>
#include <string>

#include "qelcmn/constants.h"
#include "qelhttp/http_request_impl.h"

namespace qelhttp {

namespace {

using Deadline = AsyncRequest::Deadline;
using Clock = std::function<Deadline()>;

// An available count no answer of ours comes near: Wine reports 4 294 967 295 for an answer
// reset inside its head, and its read then faults.
constexpr DWORD kImpossibleAvailable = 0x80000000u;

// Starts one asynchronous call and waits for its completion, at most until the deadline (on
// the engine's clock). Nothing starts once the exchange was cancelled.
template <typename Start>
AsyncRequest::Completion Call(AsyncRequest& link, const Clock& clock, Deadline deadline,
                              Start start) {
    if (!link.Begin()) {
        return AsyncRequest::Completion{false, ERROR_WINHTTP_OPERATION_CANCELLED, 0};
    }
    if (!start()) {
        return AsyncRequest::Completion{false, ::GetLastError(), 0};
    }
    return link.Await(deadline - clock());
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

// Whether the answer's head came whole, up to its empty line: Wine reports the status of a head
// that the server cut or reset after its first line, as if nothing were missing. Windows builds
// this text anew from the head it parsed and always ends it with the empty line, so there the
// check holds for every head it accepted.
bool HeadIsWhole(HINTERNET request) {
    DWORD size = 0;
    ::WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                          WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
    std::wstring head(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(head.size() * sizeof(wchar_t));
    if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF,
                               WINHTTP_HEADER_NAME_BY_INDEX, head.data(), &size,
                               WINHTTP_NO_HEADER_INDEX)) {
        return false;
    }
    head.resize(size / sizeof(wchar_t));
    return head.size() >= 4 && head.compare(head.size() - 4, 4, L"\r\n\r\n") == 0;
}

bool IsChunked(HINTERNET request) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    return ::WinHttpQueryHeaders(request, WINHTTP_QUERY_TRANSFER_ENCODING,
                                 WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                                 WINHTTP_NO_HEADER_INDEX) &&
           _wcsicmp(text, L"chunked") == 0;
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
// deadline, an impossible count, a body shorter or longer than announced, or a chunked body
// whose connection closed before its last chunk is a failed read, with the error kept: a cut
// body must never pass as a complete answer.
bool ReadBody(HINTERNET request, AsyncRequest& link, const Clock& clock, Deadline deadline,
              bool expectBody, std::string& body, DWORD& error) {
    body.clear();
    link.TakeServerClosed(); // only a close while the body comes counts
    for (;;) {
        const auto available = Call(link, clock, deadline, [&] {
            return ::WinHttpQueryDataAvailable(request, nullptr) != FALSE;
        });
        error = available.ok ? ERROR_WINHTTP_INVALID_SERVER_RESPONSE : available.error;
        if (!available.ok || available.bytes >= kImpossibleAvailable) {
            return false;
        }
        if (available.bytes == 0) {
            break;
        }
        const DWORD want = std::min(available.bytes, AsyncRequest::kReadBufferSize);
        if (want > static_cast<DWORD>(INT_MAX) - body.size()) {
            return false;
        }
        const auto read = Call(link, clock, deadline, [&] {
            return ::WinHttpReadData(request, link.ReadBuffer(), want, nullptr) != FALSE;
        });
        error = read.ok ? ERROR_WINHTTP_INVALID_SERVER_RESPONSE : read.error;
        if (!read.ok || read.bytes > want) {
            return false;
        }
        if (read.bytes == 0) {
            break;
        }
        body.append(link.ReadBuffer(), read.bytes);
    }
    error = ERROR_WINHTTP_CONNECTION_ERROR;
    unsigned long long announced = 0;
    if (expectBody && QueryContentLength(request, announced) && announced != body.size()) {
        return false;
    }
    return !(link.TakeServerClosed() && IsChunked(request));
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
    const Clock& clock = options_.clock;
    Deadline deadline = clock() + options_.exchangeLimit;
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
        if (pendingProxyScheme != 0) {
            const auto asked = clock();
            const bool provided = ProvideProxyCredentials(request, pendingProxyScheme);
            deadline += clock() - asked;
            if (!provided) {
                break; // the user cancelled the prompt: the exchange ends with the last status
            }
        }
        // Also where the prompt hands back: a cancel or close while it was up sends nothing.
        if (cancel_.load() != 0) {
            return Outcome{1, 0, {}, ERROR_WINHTTP_OPERATION_CANCELLED};
        }
        if (clock() >= deadline) {
            return Outcome{1, 0, {}, ERROR_WINHTTP_TIMEOUT};
        }
        if (const wchar_t* headers = param_->GetHeaders(); headers != nullptr && *headers) {
            ::WinHttpAddRequestHeaders(request, headers, static_cast<DWORD>(-1),
                                       WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
        }
        auto call = Call(link, clock, deadline, [&] {
            return ::WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, body, length,
                                        length, link.Context()) != FALSE;
        });
        if (call.ok) {
            call = Call(link, clock, deadline,
                        [&] { return ::WinHttpReceiveResponse(request, nullptr) != FALSE; });
        }
        if (!call.ok && call.error == ERROR_WINHTTP_RESEND_REQUEST) {
            outcome = Outcome{};
            continue;
        }

        int status = 0;
        if (!call.ok) {
            return Outcome{1, 0, {}, call.error};
        }
        if (!QueryStatus(request, status) || !HeadIsWhole(request)) {
            return Outcome{1, 0, {}, ERROR_WINHTTP_INVALID_SERVER_RESPONSE};
        }
        outcome = Outcome{0, status, {}, 0};

        bool ok = false;
        bool done = false;
        if (status == HTTP_STATUS_OK) {
            DWORD error = 0;
            if (!ReadBody(request, link, clock, deadline, expectBody, outcome.body, error)) {
                return Outcome{1, 0, {}, error};
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
