// Base64 with the standard alphabet and "=" padding.
#pragma once

#include <string_view>

#include "xcrypt/crypt.h"

namespace xcrypt {

// The text as bytes, padded to a multiple of four characters, without a terminator.
Bytes Base64Encode(const unsigned char* data, std::size_t size);

// Lenient decoding: characters outside the alphabet are skipped, "=" counts as a zero value
// and as padding, decoding ends after the first group that held padding, and a last
// incomplete group is completed with zero bits.
Bytes Base64Decode(std::string_view text);

} // namespace xcrypt
