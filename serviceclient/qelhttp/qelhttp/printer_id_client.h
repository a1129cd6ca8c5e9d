// The client of the token server and the printer-ID server. One client runs one request at a
// time on a worker of its owner, who may ask it to stop from another thread.
#pragma once

#include <string>

#include "jsonutil/printer_id_response.h"
#include "qelhttp/cloud_client_core.h"
#include "qelhttp/signed_request_sessions.h"
#include "xmlutil/token_server_response.h"

namespace qelhttp {

class PrinterIDClient : public CloudClient {
public:
    explicit PrinterIDClient(HttpEngineFactory factory = {});

    // The access and refresh tokens and the server address for the printer. Throws
    // http_exception, qel_operation_canceled or xmlutil::invalid_response_format.
    xmlutil::TokenServerResponse RequestToken(const std::wstring& address,
                                              const TokenRequestData& data);

    // The printer's identities; "Network Error" when no temporary identity came back.
    jsonutil::PrinterIDServerResponse RequestPrinterID(const std::wstring& address,
                                                       const PrinterIDRequestData& data);

    // Task bodies for std::async: the client and copies of the inputs.
    struct RequestTokenAsyncBody {
        PrinterIDClient* client;
        std::wstring address;
        TokenRequestData data;
        xmlutil::TokenServerResponse operator()() const {
            return client->RequestToken(address, data);
        }
    };
    struct RequestAsyncBody {
        PrinterIDClient* client;
        std::wstring address;
        PrinterIDRequestData data;
        jsonutil::PrinterIDServerResponse operator()() const {
            return client->RequestPrinterID(address, data);
        }
    };
};

} // namespace qelhttp
