// The request engine's interfaces: what one exchange sends, where its outcome goes, and the
// engine that runs exchanges one after another.
#pragma once

namespace qelhttp {

// Describes one exchange. Text is UTF-16; the body is UTF-8 bytes.
class IHttpRequestParam {
public:
    virtual ~IHttpRequestParam() = default;
    // Full address with scheme, host, optional port, path and query.
    virtual const wchar_t* GetUrl() = 0;
    virtual const wchar_t* GetMethod() = 0;
    // CRLF-separated header lines, or null for none. Asked again before every send of the
    // exchange, so signed headers can be made anew.
    virtual const wchar_t* GetHeaders() = 0;
    virtual unsigned long GetBodyLength() = 0;
    virtual const void* GetBody() = 0;
    // Server credentials; null when the exchange has none.
    virtual const wchar_t* GetUser() = 0;
    virtual const wchar_t* GetPassword() = 0;
};

// Receives the outcome of one exchange, at most once, on the engine's worker thread.
class IHttpRequestResponse {
public:
    virtual ~IHttpRequestResponse() = default;
    // failed is 1 for a transport failure (status then 0); body bytes come only with 200.
    virtual void OnResponse(int failed, int httpStatus, const char* body, int length) = 0;
};

class IHttpRequest {
public:
    virtual ~IHttpRequest() = default;
    // 0 when a session stands open, 1 when none could be opened.
    virtual int Open() = 0;
    // Ends every exchange and closes the session; always 0.
    virtual int Close() = 0;
    // 0 when the exchange was started (or its outcome already delivered), 1 when refused.
    virtual int Send(IHttpRequestParam* param, IHttpRequestResponse* sink) = 0;
    // Keeps the running exchange from delivering its outcome and ends it without waiting for
    // the server.
    virtual void Cancel() = 0;
    // Returns once the running exchange has ended.
    virtual void Wait() = 0;
};

} // namespace qelhttp
