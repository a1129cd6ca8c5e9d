// Random salts of the regional key material.
#pragma once

#include "xcrypt/crypt.h"

namespace xcrypt {

// 16 to 64 bytes, each uniform in [low, high].
Bytes GenerateRandomSalt(unsigned char low, unsigned char high);

// 8 characters from "0123456789abcdefghijklmnopqrstuvwxyz".
Bytes GenerateRandomAlnumSalt();

inline constexpr std::size_t kAlnumSaltSize = 8;

} // namespace xcrypt
