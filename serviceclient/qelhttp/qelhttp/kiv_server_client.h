// The gateway client: the three chained requests that report a registration and return the
// registration page, and the HEAD notice of a user decision.
#pragma once

#include <string>

#include "kivutil/kiv_url_params.h"
#include "qelhttp/cloud_client_core.h"
#include "kivutil/kiv_registration_data.h"
#include "xmlutil/kiv_server_response.h"

namespace qelhttp {

class KIVServerClient : public CloudClient {
public:
    explicit KIVServerClient(HttpEngineFactory factory = {});

    // Service look-up, interface look-up, then the registration document. Gives the last
    // reply; throws http_exception, qel_operation_canceled or xmlutil::invalid_response_format.
    xmlutil::KIVServerResponse Request(const std::wstring& address, const KIVURLParams& params,
                                       const KIVRegistrationData& data);

    // A HEAD request with the query; only transport and HTTP failures throw.
    xmlutil::KIVServerNullResponse Notify(const std::wstring& address, const KIVURLParams& params);

    // Task bodies for std::async: the client and copies of the inputs.
    struct RequestAsyncBody {
        KIVServerClient* client;
        std::wstring address;
        KIVURLParams params;
        KIVRegistrationData data;
        xmlutil::KIVServerResponse operator()() const {
            return client->Request(address, params, data);
        }
    };
    struct NotifyAsyncBody {
        KIVServerClient* client;
        std::wstring address;
        KIVURLParams params;
        xmlutil::KIVServerNullResponse operator()() const {
            return client->Notify(address, params);
        }
    };
};

} // namespace qelhttp
