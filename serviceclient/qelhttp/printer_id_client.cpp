#include "qelhttp/printer_id_client.h"

#include "jsonutil/printer_id_json.h"
#include "qelcmn/exceptions.h"
#include "xmlutil/sax.h"

namespace qelhttp {

PrinterIDClient::PrinterIDClient(HttpEngineFactory factory)
    : CloudClient(std::move(factory), L"Http Request Canceled.") {}

xmlutil::TokenServerResponse PrinterIDClient::RequestToken(const std::wstring& address,
                                                           const TokenRequestData& data) {
    core_.EnsureRequestObject();
    TokenRequestSession session(address, data);
    core_.Exchange(session, session, session.Status());

    xmlutil::TokenServerResponse response;
    if (!session.Answer().empty()) {
        xmlutil::TokenServerResponsePicker picker(&response);
        xmlutil::ParseXml(session.Answer(), picker);
    }
    return response;
}

jsonutil::PrinterIDServerResponse
PrinterIDClient::RequestPrinterID(const std::wstring& address, const PrinterIDRequestData& data) {
    core_.EnsureRequestObject();
    PrinterIDRequestSession session(address, data);
    core_.Exchange(session, session, session.Status());

    jsonutil::PrinterIDServerResponse response;
    if (!session.Answer().empty()) {
        response = jsonutil::ReadPrinterIDResponse(session.Answer());
    }
    if (response.tempPrinterId.empty()) {
        throw http_exception(kCodeNetworkError, L"Network Error");
    }
    return response;
}

} // namespace qelhttp
