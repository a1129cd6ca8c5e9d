// What the gateway client sends: the address of each request with its query string, and the
// form body of the registration post.
#pragma once

#include <string>

#include "kivutil/kiv_registration_data.h"
#include "kivutil/kiv_url_params.h"

namespace qelhttp {

// The base address followed by "?FNC=..." and the other keys in their fixed order; values are
// sent as UTF-8, URL-form encoded with "+" for spaces. The base address is written unchanged.
std::wstring BuildKIVQuery(const std::wstring& baseAddress, const KIVURLParams& params);

// "message=" followed by the URL-form-encoded registration document.
std::string BuildRegistrationRequest(const KIVRegistrationData& data);

} // namespace qelhttp
