// MD5 through CryptoAPI, the hash that turns pass phrases and salts into key material.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "xcrypt/crypt.h"

namespace xcrypt {

using Md5Digest = std::array<unsigned char, 16>;

// Nothing when the platform refuses any step.
std::optional<Md5Digest> Md5(const unsigned char* data, std::size_t size);

// MD5 of the pass phrase's bytes followed by the salt's bytes.
std::optional<Md5Digest> HashPassphraseWithSalt(const Bytes& salt, std::string_view passphrase);

namespace testhooks {
// Lets tests stand in for the platform hash (to reach the failure paths); null restores the
// platform hash. Gives the hash that was in place.
using Md5Function = std::optional<Md5Digest> (*)(const unsigned char* data, std::size_t size);
Md5Function ReplaceMd5(Md5Function replacement) noexcept;
} // namespace testhooks

} // namespace xcrypt
