// Secrets that the program shares with the cloud services. None is stored whole: each is
// assembled when needed from a scrambled table.
#pragma once

#include <string>

#include "qelhttp/request_signature.h"

namespace qelhttp {

// The token request's key by tenant: "rem" key A, "tava" no key (all zero), any other key B.
SigningKey TokenSigningKey(const std::wstring& tenantId);

// The printer-ID request's key: configuration text 3.
SigningKey PrinterIdSigningKey();

// The 16-character client id sent as "Qel-Client-Id".
std::wstring PrinterIdClientId();

} // namespace qelhttp
