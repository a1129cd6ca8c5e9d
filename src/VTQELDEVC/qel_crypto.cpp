#include "qel_crypto.h"

#include "protocol_tables.h"

#include <algorithm>
#include <cstring>

namespace vtqeldevc::crypto {
namespace {

constexpr wchar_t kAesProviderName[] = L"Microsoft Enhanced RSA and AES Cryptographic Provider";
constexpr std::size_t kBlock = 16;

bool IsLowerHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

int DigestHex(std::span<const std::uint8_t> data, std::string& hex) {
    Digest digest{};
    DWORD error = 0;
    const int result = Sha256Digest(data, digest, error);
    if (result == kOk) {
        hex = BytesToHexLower(digest);
    }
    return result;
}

int MapToPlusMinus(int result) {
    return result == kOk ? 0 : -1;
}

} // namespace

std::span<const std::uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string ChallengeKeyText(std::string_view key_text) {
    std::string text;
    for (char c : key_text) {
        if (c == ':') {
            continue;
        }
        text.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c);
    }
    return text;
}

std::string CipherKeyText(std::string_view key_text) {
    const std::size_t equals = key_text.find('=');
    if (equals != std::string_view::npos) {
        return std::string(key_text.substr(equals + 1));
    }
    return FilterHexLower(key_text);
}

unique_hcryptprov AcquireAesProvider(DWORD& system_error) noexcept {
    unique_hcryptprov provider;
    if (!::CryptAcquireContextW(provider.put(), nullptr, kAesProviderName, PROV_RSA_AES,
                                CRYPT_VERIFYCONTEXT)) {
        system_error = ::GetLastError();
        return {};
    }
    system_error = 0;
    return provider;
}

int Sha256Digest(std::span<const std::uint8_t> data, Digest& digest, DWORD& system_error) noexcept {
    if (data.data() == nullptr && !data.empty()) {
        return kBadBuffer;
    }
    if (data.size() > MAXDWORD) {
        return kBadBuffer;
    }
    auto provider = AcquireAesProvider(system_error);
    if (!provider) {
        return kCryptoApiFailed;
    }
    unique_hcrypthash hash;
    const BYTE none = 0;
    DWORD size = 0;
    DWORD size_length = sizeof(size);
    if (!::CryptCreateHash(provider.get(), CALG_SHA_256, 0, 0, hash.put()) ||
        !::CryptHashData(hash.get(), data.empty() ? &none : data.data(),
                         static_cast<DWORD>(data.size()), 0) ||
        !::CryptGetHashParam(hash.get(), HP_HASHSIZE, reinterpret_cast<BYTE*>(&size), &size_length,
                             0) ||
        size != digest.size() ||
        !::CryptGetHashParam(hash.get(), HP_HASHVAL, digest.data(), &size, 0)) {
        system_error = ::GetLastError();
        return kCryptoApiFailed;
    }
    return kOk;
}

int AesCbcCrypt(bool encrypt, std::span<const std::uint8_t> data, std::uint32_t mode,
                std::span<const std::uint8_t> key_material, std::span<const std::uint8_t, 16> iv,
                Bytes& output, DWORD& system_error) {
    system_error = 0;
    if (mode != kModePlain && mode != kModeAes128Cbc) {
        return kUnsupported;
    }
    if (key_material.size() < kBlock || (data.data() == nullptr && !data.empty())) {
        return kBadBuffer;
    }
    if (mode == kModePlain) {
        output.assign(data.begin(), data.end());
        return kOk;
    }
    // rsaenh faults on an empty final block to decipher; nothing sound is in one anyway.
    if (!encrypt && (data.empty() || data.size() % kBlock != 0)) {
        return kBadBuffer;
    }
    if (data.size() > MAXDWORD - kBlock) {
        return kBadBuffer;
    }
    auto provider = AcquireAesProvider(system_error);
    if (!provider) {
        return kCryptoApiFailed;
    }
    struct {
        BLOBHEADER header;
        DWORD key_size;
        BYTE key[kBlock];
    } blob{};
    blob.header.bType = PLAINTEXTKEYBLOB;
    blob.header.bVersion = CUR_BLOB_VERSION;
    blob.header.reserved = 0;
    blob.header.aiKeyAlg = CALG_AES_128;
    blob.key_size = kBlock;
    std::copy_n(key_material.end() - kBlock, kBlock, blob.key);

    unique_hcryptkey key;
    DWORD padding = PKCS5_PADDING;
    DWORD cipher_mode = CRYPT_MODE_CBC;
    const bool ready =
        ::CryptImportKey(provider.get(), reinterpret_cast<const BYTE*>(&blob), sizeof(blob), 0, 0,
                         key.put()) &&
        ::CryptSetKeyParam(key.get(), KP_PADDING, reinterpret_cast<const BYTE*>(&padding), 0) &&
        ::CryptSetKeyParam(key.get(), KP_IV, iv.data(), 0) &&
        ::CryptSetKeyParam(key.get(), KP_MODE, reinterpret_cast<const BYTE*>(&cipher_mode), 0);
    SecureZeroMemory(blob.key, sizeof(blob.key));
    if (!ready) {
        system_error = ::GetLastError();
        return kCryptoApiFailed;
    }
    Bytes buffer(data.size() + kBlock);
    std::copy(data.begin(), data.end(), buffer.begin());
    DWORD length = static_cast<DWORD>(data.size());
    const BOOL done = encrypt ? ::CryptEncrypt(key.get(), 0, TRUE, 0, buffer.data(), &length,
                                               static_cast<DWORD>(buffer.size()))
                              : ::CryptDecrypt(key.get(), 0, TRUE, 0, buffer.data(), &length);
    if (!done || length > buffer.size()) {
        system_error = ::GetLastError();
        return kCryptoApiFailed;
    }
    buffer.resize(length);
    output = std::move(buffer);
    return kOk;
}

int AesCryptWithDerivedKey(std::span<const std::uint8_t> data, std::string_view cipher_key_text,
                           std::uint32_t mode, std::uint32_t selector, Bytes& output,
                           bool encrypt) {
    if (selector >= tables::kCipherSelectors.size()) {
        return kUnsupported;
    }
    const auto& entry = tables::kCipherSelectors[selector];
    if (entry.key_extension_row >= tables::kKeyExtensionRows.size() ||
        entry.iv_row >= tables::kIvRows.size()) {
        return kUnsupported;
    }
    DWORD error = 0;
    Digest d1{};
    int result = Sha256Digest(AsBytes(cipher_key_text), d1, error);
    if (result != kOk) {
        return result;
    }
    std::array<std::uint8_t, 48> extended{};
    std::copy(d1.begin(), d1.end(), extended.begin());
    const auto& extension = tables::kKeyExtensionRows[entry.key_extension_row];
    std::copy(extension.begin(), extension.end(), extended.begin() + d1.size());
    Digest d2{};
    result = Sha256Digest(extended, d2, error);
    if (result != kOk) {
        return result;
    }
    return AesCbcCrypt(encrypt, data, mode, d2, tables::kIvRows[entry.iv_row], output, error);
}

int DeriveRounds(std::size_t variant, std::string_view input_hex, std::string_view second_hex,
                 std::span<const std::string_view> texts, std::string& output) {
    if (variant >= tables::kPassVariants.size()) {
        return kBadBuffer;
    }
    const auto& row = tables::kPassVariants[variant];
    Bytes block = HexToBytes(input_hex);
    if (row.passes > row.permutation_rows.size()) {
        return kBadBuffer;
    }
    for (std::size_t pass = 0; pass < row.passes; ++pass) {
        const std::size_t permutation = row.permutation_rows[pass];
        if (permutation >= tables::kPermutationRows.size()) {
            return kBadBuffer;
        }
        Bytes buffer;
        for (auto position : tables::kPermutationRows[permutation]) {
            if (position < block.size()) {
                buffer.push_back(block[position]);
            }
        }
        if (pass == 0) {
            const Bytes second = HexToBytes(second_hex);
            buffer.insert(buffer.end(), second.begin(), second.end());
            for (auto text : texts) {
                const auto bytes = AsBytes(text);
                buffer.insert(buffer.end(), bytes.begin(), bytes.end());
            }
        }
        if (row.selector_position >= buffer.size()) {
            return kBadBuffer;
        }
        const auto& constants = tables::kPassConstantRows[buffer[row.selector_position] & 0x1f];
        buffer.insert(buffer.end(), constants.begin(), constants.end());
        Digest digest{};
        DWORD error = 0;
        const int result = Sha256Digest(buffer, digest, error);
        if (result != kOk) {
            return result;
        }
        block.assign(digest.begin(), digest.end());
    }
    output = BytesToHexLower(block);
    return kOk;
}

int ComputeChallengeAnswer(std::string_view challenge_key_text, std::string_view challenge,
                           std::string_view job_description, std::string& answer) {
    std::string h;
    int result = DigestHex(AsBytes(challenge_key_text), h);
    if (result != kOk) {
        return result;
    }
    std::string r;
    result = DeriveRounds(0, h, {}, {}, r);
    if (result != kOk) {
        return result;
    }
    const std::string_view texts[] = {kSaltChallenge, job_description, kAdminUser};
    return DeriveRounds(15, r, challenge, texts, answer);
}

int MakeChallengeAnswer(std::string_view challenge_key_text, const PairList& reply_pairs,
                        PairList& answer_pairs) {
    const std::string* challenge = FindValue(reply_pairs, "vvt:ijdatakey4");
    const std::string* job_description = FindValue(reply_pairs, "ivec:job_description");
    if (challenge == nullptr || job_description == nullptr) {
        return kMissingPair;
    }
    if (challenge->empty() || challenge->size() % 2 != 0 ||
        !std::all_of(challenge->begin(), challenge->end(), IsLowerHexDigit)) {
        return kRefused;
    }
    std::string answer;
    const int result =
        ComputeChallengeAnswer(challenge_key_text, *challenge, *job_description, answer);
    if (result != kOk) {
        return result;
    }
    answer_pairs = {{"vvt:ijdatakey1", kAdminUser}, {"vvt:ijdatakey2", std::move(answer)}};
    return kOk;
}

int MakeChallengeAnswerPairs(const PairList& reply_pairs, std::string_view key_text,
                             PairList* output) {
    if (output == nullptr) {
        return -2;
    }
    PairList answer;
    if (MakeChallengeAnswer(ChallengeKeyText(key_text), reply_pairs, answer) != kOk) {
        return -1;
    }
    output->insert(output->end(), answer.begin(), answer.end());
    return 0;
}

std::uint32_t ByteSum(std::span<const std::uint8_t> bytes) noexcept {
    std::uint32_t sum = 0;
    if (bytes.data() == nullptr) {
        return 0;
    }
    for (auto byte : bytes) {
        sum += byte;
    }
    return sum;
}

int ComputeBlockDigest(std::uint32_t value, std::string& digest) {
    std::array<std::uint8_t, 14> block{};
    block[0] = static_cast<std::uint8_t>(value >> 24);
    block[1] = static_cast<std::uint8_t>(value >> 16);
    block[2] = static_cast<std::uint8_t>(value >> 8);
    block[3] = static_cast<std::uint8_t>(value);
    std::memcpy(block.data() + 4, kSaltPayload, 10);
    return DigestHex(block, digest);
}

int ComputeResponseDigest(std::string_view job_description, std::string_view job_id,
                          std::string_view key7, std::string& digest) {
    std::string joined;
    joined.append(job_description).append(job_id).append(key7).append(kSaltResponse);
    return DigestHex(AsBytes(joined), digest);
}

int EncryptRequestItem(std::string_view key_text, KeyFields key, std::span<const std::uint8_t> data,
                       Bytes* output, std::string* digest) {
    if (output == nullptr || digest == nullptr) {
        return -2;
    }
    Bytes ciphered;
    if (AesCryptWithDerivedKey(data, CipherKeyText(key_text), key.mode, key.selector, ciphered,
                               true) != kOk) {
        return -1;
    }
    std::string block_digest;
    if (ComputeBlockDigest(ByteSum(ciphered), block_digest) != kOk) {
        return -1;
    }
    *output = std::move(ciphered);
    *digest = std::move(block_digest);
    return 0;
}

int EncryptRequestPayload(std::string_view application_data, std::string_view key_text,
                          std::string_view key7, Bytes* output, std::string* digest) {
    const auto key = SplitKeyText(key7);
    if (!key || output == nullptr || digest == nullptr) {
        return kPayloadFailed;
    }
    return EncryptRequestItem(key_text, *key, AsBytes(application_data), output, digest) == 0
               ? kOk
               : kPayloadFailed;
}

int VerifyAndDecryptResponse(std::span<const std::uint8_t> payload, std::string_view key_text,
                             const PairList& job_pairs, std::span<char> output,
                             std::size_t& needed) {
    if (output.data() == nullptr || (payload.data() == nullptr && !payload.empty())) {
        return kNullArgument;
    }
    const std::string* key7 = FindValue(job_pairs, "vvt:ijdatakey7");
    const std::string* key8 = FindValue(job_pairs, "vvt:ijdatakey8");
    const std::string* job_id = FindValue(job_pairs, "ivec:jobID");
    const std::string* job_description = FindValue(job_pairs, "ivec:job_description");
    if (key7 == nullptr || key8 == nullptr || job_id == nullptr || job_description == nullptr) {
        return kMissingPair;
    }
    const auto key = SplitKeyText(*key7);
    if (!key) {
        return kRefused;
    }
    std::string expected;
    int result = ComputeResponseDigest(*job_description, *job_id, *key7, expected);
    if (result != kOk) {
        return result;
    }
    const bool equal =
        expected.size() == key8->size() &&
        std::equal(expected.begin(), expected.end(), key8->begin(), [](char a, char b) {
            auto lower = [](char c) {
                return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            };
            return lower(a) == lower(b);
        });
    if (!equal) {
        return kRefused;
    }
    Bytes plain;
    result = AesCryptWithDerivedKey(payload, CipherKeyText(key_text), key->mode, key->selector,
                                    plain, false);
    if (result != kOk) {
        return result;
    }
    needed = plain.size() + 1;
    if (output.size() < needed) {
        return kOutputTooSmall;
    }
    std::copy(plain.begin(), plain.end(), output.begin());
    output[plain.size()] = '\0';
    return kOk;
}

int DecryptResponsePayload(std::string_view key_text, const PairList& job_pairs,
                           std::span<const std::uint8_t> payload, std::span<char> output) {
    if (output.data() == nullptr) {
        return -2;
    }
    std::size_t needed = 0;
    return MapToPlusMinus(VerifyAndDecryptResponse(payload, key_text, job_pairs, output, needed));
}

} // namespace vtqeldevc::crypto
