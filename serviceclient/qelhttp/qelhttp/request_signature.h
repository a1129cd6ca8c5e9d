// Signed headers of the token and printer-ID requests: a fresh nonce per send, signed with
// HMAC-SHA256 under a 33-byte key.
#pragma once

#include <array>
#include <string>

namespace qelhttp {

inline constexpr std::size_t kSigningKeyBytes = 33;
using SigningKey = std::array<unsigned char, kSigningKeyBytes>;

// The key buffer from a key text: at most 33 bytes of it, the rest zero.
SigningKey MakeSigningKey(const std::string& keyText);

// 32 characters of "0123456789abcdefghijklmnopqrstuvwxyz", each chosen uniformly by the
// platform's random generator.
std::wstring MakeNonce();

// Base64 of HMAC-SHA256 (key, the nonce's ASCII bytes), ending with CR LF; empty when a
// cryptography step fails.
std::wstring SignNonce(const SigningKey& key, const std::wstring& nonce);

// "Authorization:Data=<nonce>,Signature=<signature>" with a new nonce.
std::wstring MakeAuthorizationHeader(const SigningKey& key);

} // namespace qelhttp
