#include "qelhttp/signed_request_sessions.h"

#include "jsonutil/printer_id_json.h"
#include "qelhttp/embedded_secrets.h"
#include "xmlutil/escape.h"

namespace qelhttp {

void SignedPostSession::OnResponse(int failed, int httpStatus, const char* data, int length) {
    if (failed != 0) {
        return;
    }
    // The body first: when it cannot be kept, the status stays 0 and the exchange counts as
    // failed instead of as an empty answer.
    if (httpStatus == 200 && data != nullptr && length > 0) {
        answer_.append(data, static_cast<std::size_t>(length));
    }
    status_ = httpStatus;
}

std::string BuildTokenRequestXml(const TokenRequestData& data) {
    const auto text = [](const std::wstring& value) {
        return xmlutil::EscapeXmlText(jsonutil::WideToUtf8Replacing(value));
    };
    return "<request><tenant_id>" + text(data.tenantId) + "</tenant_id><service_id>" +
           text(data.serviceId) + "</service_id><mac_address>" + text(data.macAddress) +
           "</mac_address></request>";
}

TokenRequestSession::TokenRequestSession(std::wstring address, const TokenRequestData& data)
    : SignedPostSession(std::move(address), BuildTokenRequestXml(data)),
      key_(TokenSigningKey(data.tenantId)) {}

const wchar_t* TokenRequestSession::GetHeaders() {
    headers_ = L"Content-Type: application/xml; charset=\"UTF-8\"\r\n"
               L"x-registerapp-id: qelprinter\r\n" +
               MakeAuthorizationHeader(key_);
    return headers_.c_str();
}

PrinterIDRequestSession::PrinterIDRequestSession(std::wstring address,
                                                 const PrinterIDRequestData& data)
    : SignedPostSession(std::move(address),
                        jsonutil::BuildPrinterIDRequestJson(data.serialNumber, data.macAddress,
                                                            data.modelName, data.region)),
      key_(PrinterIdSigningKey()), clientId_(PrinterIdClientId()) {}

const wchar_t* PrinterIDRequestSession::GetHeaders() {
    headers_ = L"Content-Type: application/json; charset=\"UTF-8\"\r\nQel-Client-Id: " + clientId_ +
               L"\r\n" + MakeAuthorizationHeader(key_);
    return headers_.c_str();
}

} // namespace qelhttp
