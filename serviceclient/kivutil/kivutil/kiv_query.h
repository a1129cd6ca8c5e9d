// The gateway address with its query string.
#pragma once

#include <string>

#include "kivutil/kiv_url_params.h"

namespace qelhttp {

// The base address followed by "?FNC=..." and the other keys in their fixed order; values are
// sent as UTF-8, URL-form encoded with "+" for spaces. The base address is written unchanged.
std::wstring BuildKIVQuery(const std::wstring& baseAddress, const KIVURLParams& params);

} // namespace qelhttp
