// A scripted exchange for engine tests: what to send, and what the engine delivered.
#pragma once

#include <atomic>
#include <string>

#include "qelhttp/http_request.h"

namespace qelhttp::testing {

struct TestExchange : IHttpRequestParam, IHttpRequestResponse {
    std::wstring url;
    std::wstring method = L"GET";
    std::wstring headers;
    std::string body;
    const wchar_t* user = nullptr;
    const wchar_t* password = nullptr;

    std::atomic<int> headerCalls{0};
    std::atomic<int> responses{0};
    int failed = -1;
    int status = -1;
    std::string reply;

    const wchar_t* GetUrl() override { return url.c_str(); }
    const wchar_t* GetMethod() override { return method.c_str(); }
    const wchar_t* GetHeaders() override {
        ++headerCalls;
        return headers.empty() ? nullptr : headers.c_str();
    }
    unsigned long GetBodyLength() override { return static_cast<unsigned long>(body.size()); }
    const void* GetBody() override { return body.data(); }
    const wchar_t* GetUser() override { return user; }
    const wchar_t* GetPassword() override { return password; }

    void OnResponse(int f, int s, const char* data, int length) override {
        ++responses;
        failed = f;
        status = s;
        reply.assign(data, static_cast<std::size_t>(length));
    }
};

} // namespace qelhttp::testing
