// The worker's side of one exchange: sending, the authentication rounds and reading the answer.
#include <climits>
#include <cwchar>
#include <string>

#include "qelcmn/constants.h"
#include "qelhttp/http_request_impl.h"

namespace qelhttp {

namespace {

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

// Reads the whole body. A read that fails, or a body shorter or longer than announced, is a
// failed read: a cut body must never pass as a complete answer.
bool ReadBody(HINTERNET request, bool expectBody, const std::atomic<bool>& closing,
              std::string& body) {
    body.clear();
    for (;;) {
        if (closing.load()) {
            return false;
        }
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request, &available)) {
            return false;
        }
        if (available == 0) {
            break;
        }
        const std::size_t old = body.size();
        if (available > static_cast<DWORD>(INT_MAX) - old) {
            return false;
        }
        body.resize(old + available);
        DWORD read = 0;
        if (!::WinHttpReadData(request, body.data() + old, available, &read)) {
            return false;
        }
        body.resize(old + read);
        if (read == 0) {
            break;
        }
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

HttpRequestImpl::Outcome HttpRequestImpl::RunExchange(HINTERNET request) {
    Outcome outcome;
    DWORD pendingProxyScheme = 0;
    int previousStatus = 0;
    int proxyRounds = 0;
    const wchar_t* method = param_->GetMethod();
    const bool expectBody = method == nullptr || std::wcscmp(method, L"HEAD") != 0;

    for (int sends = 0; sends < kMaxSendsPerExchange; ++sends) {
        if (closing_.load()) {
            return Outcome{};
        }
        if (pendingProxyScheme != 0 && !ProvideProxyCredentials(request, pendingProxyScheme)) {
            break; // the user cancelled the prompt: the exchange ends with the last status
        }
        if (const wchar_t* headers = param_->GetHeaders(); headers != nullptr && *headers) {
            ::WinHttpAddRequestHeaders(request, headers, static_cast<DWORD>(-1),
                                       WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
        }
        const DWORD length = param_->GetBodyLength();
        void* body = length != 0 ? const_cast<void*>(param_->GetBody()) : WINHTTP_NO_REQUEST_DATA;
        bool succeeded = ::WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, body,
                                              length, length, 0) != FALSE;
        if (succeeded) {
            succeeded = ::WinHttpReceiveResponse(request, nullptr) != FALSE;
        }
        if (!succeeded && ::GetLastError() == ERROR_WINHTTP_RESEND_REQUEST) {
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
            if (!ReadBody(request, expectBody, closing_, outcome.body)) {
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
