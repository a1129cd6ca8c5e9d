// One exchange with the gateway: what the client sends and the reply body it gets back.
#pragma once

#include <string>

#include "qelhttp/http_request.h"

namespace qelhttp {

struct KIVRequestSession : IHttpRequestParam, IHttpRequestResponse {
    int status = 0;
    std::wstring address;
    std::wstring method;
    std::wstring headers; // empty: none
    std::string body;
    std::string replyBody;

    const wchar_t* GetUrl() override { return address.c_str(); }
    const wchar_t* GetMethod() override { return method.c_str(); }
    const wchar_t* GetHeaders() override { return headers.empty() ? nullptr : headers.c_str(); }
    unsigned long GetBodyLength() override { return static_cast<unsigned long>(body.size()); }
    const void* GetBody() override { return body.data(); }
    // The gateway is sent no server credentials.
    const wchar_t* GetUser() override { return nullptr; }
    const wchar_t* GetPassword() override { return nullptr; }

    void OnResponse(int failed, int httpStatus, const char* data, int length) override {
        if (failed != 0) {
            return;
        }
        // The body first: when it cannot be kept, the status stays 0 and the exchange counts
        // as failed instead of as an empty answer.
        if (httpStatus == 200 && data != nullptr && length > 0) {
            replyBody.append(data, static_cast<std::size_t>(length));
        }
        status = httpStatus;
    }
};

} // namespace qelhttp
