// UTF-16 to UTF-8 for texts that come from printers and the registry: an unpaired surrogate
// becomes U+FFFD instead of failing the whole request.
#pragma once

#include <string>

namespace kivutil::detail {

std::string ToUtf8(const std::wstring& text);

} // namespace kivutil::detail
