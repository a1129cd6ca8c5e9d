// The qel job's challenge answer, payload digests, key derivation and AES-128-CBC, all through
// CryptoAPI's AES provider.
#pragma once

#include "command_xml.h"
#include "win/unique_any.h"
#include "text_convert.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vtqeldevc::crypto {

inline constexpr int kOk = 0;
inline constexpr int kOutputTooSmall = 2;
inline constexpr int kMissingPair = 3;
inline constexpr int kUnsupported = 5; // cipher mode or selector out of range
inline constexpr int kNullArgument = 6;
inline constexpr int kRefused = 7; // challenge, vvt:ijdatakey7 or vvt:ijdatakey8 not acceptable
inline constexpr int kCryptoApiFailed = 8;
inline constexpr int kBadBuffer = 9;
inline constexpr int kPayloadFailed = 20;

inline constexpr std::uint32_t kModePlain = 0;
inline constexpr std::uint32_t kModeAes128Cbc = 4;

inline constexpr char kSaltChallenge[] = "qzerbanu1";
inline constexpr char kSaltResponse[] = "qzerbanu21";
inline constexpr char kSaltPayload[] = "qzerbanu11";
inline constexpr char kAdminUser[] = "ADMIN";

using qelwin::unique_hcrypthash;
using qelwin::unique_hcryptkey;
using qelwin::unique_hcryptprov;

using Bytes = std::vector<std::uint8_t>;
using Digest = std::array<std::uint8_t, 32>;

std::span<const std::uint8_t> AsBytes(std::string_view text);

// The key text with every ":" removed, lower-cased.
std::string ChallengeKeyText(std::string_view key_text);
// The part after the first "=", or else the hexadecimal digits, lower-cased.
std::string CipherKeyText(std::string_view key_text);

unique_hcryptprov AcquireAesProvider(DWORD& system_error) noexcept;
int Sha256Digest(std::span<const std::uint8_t> data, Digest& digest, DWORD& system_error) noexcept;
// Mode 0 copies; mode 4 is AES-128-CBC with PKCS#5 padding under the last 16 bytes of
// key_material. Ciphertext that is empty or not whole blocks is refused before CryptoAPI.
int AesCbcCrypt(bool encrypt, std::span<const std::uint8_t> data, std::uint32_t mode,
                std::span<const std::uint8_t> key_material, std::span<const std::uint8_t, 16> iv,
                Bytes& output, DWORD& system_error);
int AesCryptWithDerivedKey(std::span<const std::uint8_t> data, std::string_view cipher_key_text,
                           std::uint32_t mode, std::uint32_t selector, Bytes& output, bool encrypt);

// 64 lowercase hexadecimal digits from the pass variant's rounds over input_hex.
int DeriveRounds(std::size_t variant, std::string_view input_hex, std::string_view second_hex,
                 std::span<const std::string_view> texts, std::string& output);
int ComputeChallengeAnswer(std::string_view challenge_key_text, std::string_view challenge,
                           std::string_view job_description, std::string& answer);
// Answer pairs ("vvt:ijdatakey1", "ADMIN"), ("vvt:ijdatakey2", answer) from the first StartJob
// reply's pairs.
int MakeChallengeAnswer(std::string_view challenge_key_text, const PairList& reply_pairs,
                        PairList& answer_pairs);
// Appends the answer pairs to output; 0, -1 on failure, -2 when output is null.
int MakeChallengeAnswerPairs(const PairList& reply_pairs, std::string_view key_text,
                             PairList* output);

std::uint32_t ByteSum(std::span<const std::uint8_t> bytes) noexcept;
int ComputeBlockDigest(std::uint32_t value, std::string& digest);
int ComputeResponseDigest(std::string_view job_description, std::string_view job_id,
                          std::string_view key7, std::string& digest);

// Ciphers one item; 0, -1 on failure, -2 on a null output.
int EncryptRequestItem(std::string_view key_text, KeyFields key, std::span<const std::uint8_t> data,
                       Bytes* output, std::string* digest);
// Ciphers the application data under vvt:ijdatakey7 and makes the digest for vvt:ijdatakey6.
// A key7 that does not split fails (20): data is never sent in the clear by accident.
int EncryptRequestPayload(std::string_view application_data, std::string_view key_text,
                          std::string_view key7, Bytes* output, std::string* digest);
// Checks vvt:ijdatakey8 of the authenticated StartJob reply and deciphers the payload into
// output as NUL-terminated text; when output is too small, 2 and needed holds plain length + 1.
int VerifyAndDecryptResponse(std::span<const std::uint8_t> payload, std::string_view key_text,
                             const PairList& job_pairs, std::span<char> output,
                             std::size_t& needed);
// As above; 0, -1 on failure, -2 on a null output.
int DecryptResponsePayload(std::string_view key_text, const PairList& job_pairs,
                           std::span<const std::uint8_t> payload, std::span<char> output);

} // namespace vtqeldevc::crypto
