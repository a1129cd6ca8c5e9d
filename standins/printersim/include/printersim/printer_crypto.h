// The printer's half of the qel job's cryptography: the expected challenge answer, the job digest
// that proves the job values, the payload digest and the application-data cipher. Everything goes
// through CryptoAPI's AES provider.
#pragma once

#include "printersim/protocol_tables.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace printersim::crypto {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint32_t kModePlain = 0;
inline constexpr std::uint32_t kModeAes = 4;

std::optional<Bytes> sha256(std::string_view data);
std::string hex_lower(const Bytes& bytes);
// Pairs of hexadecimal digits, at most 64 bytes; a lone last digit is ignored.
// Nothing when a pair holds a character that is no hexadecimal digit.
std::optional<Bytes> hex_pairs(std::string_view hex);

// The address text with every ':' removed and letters lower-cased.
std::string challenge_key_text(std::string_view address);
// What follows the first '=' of the address text, or else its hexadecimal digits lower-cased.
std::string cipher_key_text(std::string_view address);

// Rounds of permutation, pass constant and hash, as 64 lowercase hexadecimal digits.
std::optional<std::string> derive_rounds(const ProtocolTables& tables, unsigned variant,
                                         std::string_view input_hex, std::string_view second_hex,
                                         std::initializer_list<std::string_view> texts);

// The answer that the printer expects to its challenge.
std::optional<std::string> challenge_answer(const ProtocolTables& tables, std::string_view address,
                                            std::string_view challenge,
                                            std::string_view job_description);

// vvt:ijdatakey8: the proof over the job's identifiers.
std::optional<std::string> job_digest(std::string_view job_description, std::string_view job_id,
                                      std::string_view key7);

// vvt:ijdatakey6: digest of the big-endian byte sum of the ciphered payload.
std::optional<std::string> payload_digest(const Bytes& payload);

struct CipherKey {
    std::array<std::uint8_t, 16> key{};
    std::array<std::uint8_t, 16> iv{};
};
std::optional<CipherKey> cipher_key(const ProtocolTables& tables, std::string_view address,
                                    std::uint32_t selector);

// AES-128-CBC with PKCS#5 padding. Decryption refuses empty input and input that is not whole
// blocks before the provider sees it.
std::optional<Bytes> aes128_cbc(bool encrypt, const CipherKey& key, const Bytes& data);

// The application data as it travels: mode 0 copies, mode 4 ciphers, other modes are refused.
std::optional<Bytes> cipher_payload(const ProtocolTables& tables, bool encrypt,
                                    std::string_view address, std::uint32_t mode,
                                    std::uint32_t selector, const Bytes& data);

} // namespace printersim::crypto
