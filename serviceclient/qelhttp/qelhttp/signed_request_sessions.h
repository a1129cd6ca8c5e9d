// The two signed exchanges with the token server and the printer-ID server: each session
// describes its POST to the engine and collects the answer.
#pragma once

#include <string>

#include "qelhttp/http_request.h"
#include "qelhttp/request_signature.h"

namespace qelhttp {

struct TokenRequestData {
    std::wstring tenantId;  // "rem", "tava" or "nqo"
    std::wstring serviceId; // "001"
    std::wstring macAddress;
};

struct PrinterIDRequestData {
    std::wstring serialNumber;
    std::wstring macAddress;
    std::wstring modelName;
    std::wstring region;
};

// The parts both sessions share: a POST with a body, no server credentials, and an answer
// body kept only for status 200.
class SignedPostSession : public IHttpRequestParam, public IHttpRequestResponse {
public:
    const wchar_t* GetUrl() override { return address_.c_str(); }
    const wchar_t* GetMethod() override { return L"POST"; }
    unsigned long GetBodyLength() override { return static_cast<unsigned long>(body_.size()); }
    const void* GetBody() override { return body_.data(); }
    const wchar_t* GetUser() override { return nullptr; }
    const wchar_t* GetPassword() override { return nullptr; }
    void OnResponse(int failed, int httpStatus, const char* data, int length) override;

    const int& Status() const { return status_; }
    const std::string& Answer() const { return answer_; }
    const std::string& Body() const { return body_; }

protected:
    SignedPostSession(std::wstring address, std::string body)
        : address_(std::move(address)), body_(std::move(body)) {}

    int status_ = 0;
    std::wstring address_;
    std::string body_;
    std::string answer_;
    std::wstring headers_;
};

class TokenRequestSession final : public SignedPostSession {
public:
    TokenRequestSession(std::wstring address, const TokenRequestData& data);
    // A new nonce and signature every time the engine asks.
    const wchar_t* GetHeaders() override;

private:
    SigningKey key_;
};

class PrinterIDRequestSession final : public SignedPostSession {
public:
    PrinterIDRequestSession(std::wstring address, const PrinterIDRequestData& data);
    const wchar_t* GetHeaders() override;

private:
    SigningKey key_;
    std::wstring clientId_;
};

// <request><tenant_id>..</tenant_id><service_id>..</service_id><mac_address>..</mac_address>
// </request> in UTF-8, values escaped as XML text.
std::string BuildTokenRequestXml(const TokenRequestData& data);

} // namespace qelhttp
