#include "printersim/printer_crypto.h"

#include "win/unique_any.h"

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace printersim::crypto {
namespace {

// One provider context for the process: acquiring one costs more than the hashes of a whole
// challenge answer, and a verify-only context serves every thread.
HCRYPTPROV provider() {
    static const qelwin::unique_hcryptprov prov = [] {
        HCRYPTPROV raw = 0;
        return ::CryptAcquireContextW(&raw, nullptr, MS_ENH_RSA_AES_PROV_W, PROV_RSA_AES,
                                      CRYPT_VERIFYCONTEXT)
                   ? qelwin::unique_hcryptprov(raw)
                   : qelwin::unique_hcryptprov();
    }();
    return prov.get();
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string_view as_text(const Bytes& b) {
    return {reinterpret_cast<const char*>(b.data()), b.size()};
}

} // namespace

std::optional<Bytes> sha256(std::string_view data) {
    const HCRYPTPROV prov = provider();
    if (prov == 0) {
        return std::nullopt;
    }
    HCRYPTHASH raw = 0;
    if (!::CryptCreateHash(prov, CALG_SHA_256, 0, 0, &raw)) {
        return std::nullopt;
    }
    qelwin::unique_hcrypthash hash(raw);
    if (!data.empty() && !::CryptHashData(hash.get(), reinterpret_cast<const BYTE*>(data.data()),
                                          static_cast<DWORD>(data.size()), 0)) {
        return std::nullopt;
    }
    Bytes out(32);
    DWORD size = static_cast<DWORD>(out.size());
    if (!::CryptGetHashParam(hash.get(), HP_HASHVAL, out.data(), &size, 0) || size != 32) {
        return std::nullopt;
    }
    return out;
}

std::string hex_lower(const Bytes& bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (auto b : bytes) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 0xF]);
    }
    return out;
}

std::optional<Bytes> hex_pairs(std::string_view hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size() && out.size() < 64; i += 2) {
        const int hi = hex_value(hex[i]);
        const int lo = hex_value(hex[i + 1]);
        if (hi < 0 || lo < 0) {
            return std::nullopt;
        }
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
}

std::string challenge_key_text(std::string_view address) {
    std::string out;
    for (char c : address) {
        if (c != ':') {
            out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    return out;
}

std::string cipher_key_text(std::string_view address) {
    if (auto eq = address.find('='); eq != std::string_view::npos) {
        return std::string(address.substr(eq + 1));
    }
    std::string out;
    for (char c : address) {
        if (hex_value(c) >= 0) {
            out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    return out;
}

std::optional<std::string> derive_rounds(const ProtocolTables& tables, unsigned variant,
                                         std::string_view input_hex, std::string_view second_hex,
                                         std::initializer_list<std::string_view> texts) {
    if (variant >= tables.pass_variants.size()) {
        return std::nullopt;
    }
    const auto& row = tables.pass_variants[variant];
    const unsigned selector_pos = row[0];
    const unsigned passes = row[1];
    if (passes > 8) {
        return std::nullopt;
    }
    auto block = hex_pairs(input_hex);
    auto second = hex_pairs(second_hex);
    if (!block || !second) {
        return std::nullopt;
    }
    for (unsigned pass = 0; pass < passes; ++pass) {
        const unsigned perm_row = row[2 + pass];
        if (perm_row >= tables.permutations.size()) {
            return std::nullopt;
        }
        Bytes buffer;
        for (auto pos : tables.permutations[perm_row]) {
            if (pos < block->size()) {
                buffer.push_back((*block)[pos]);
            }
        }
        if (pass == 0) {
            buffer.insert(buffer.end(), second->begin(), second->end());
            for (auto t : texts) {
                buffer.insert(buffer.end(), t.begin(), t.end());
            }
        }
        if (selector_pos >= buffer.size()) {
            return std::nullopt;
        }
        const unsigned constant_row = buffer[selector_pos] & 0x1F;
        if (constant_row >= tables.pass_constants.size()) {
            return std::nullopt;
        }
        const auto& constant = tables.pass_constants[constant_row];
        buffer.insert(buffer.end(), constant.begin(), constant.end());
        block = sha256(as_text(buffer));
        if (!block) {
            return std::nullopt;
        }
    }
    return hex_lower(*block);
}

std::optional<std::string> challenge_answer(const ProtocolTables& tables, std::string_view address,
                                            std::string_view challenge,
                                            std::string_view job_description) {
    auto key_hash = sha256(challenge_key_text(address));
    if (!key_hash) {
        return std::nullopt;
    }
    auto first = derive_rounds(tables, 0, hex_lower(*key_hash), {}, {});
    if (!first) {
        return std::nullopt;
    }
    return derive_rounds(tables, 15, *first, challenge, {"qzerbanu1", job_description, "ADMIN"});
}

std::optional<std::string> job_digest(std::string_view job_description, std::string_view job_id,
                                      std::string_view key7) {
    std::string joined;
    joined.append(job_description).append(job_id).append(key7).append("qzerbanu21");
    auto d = sha256(joined);
    return d ? std::optional(hex_lower(*d)) : std::nullopt;
}

std::optional<std::string> payload_digest(const Bytes& payload) {
    std::uint32_t sum = 0;
    for (auto b : payload) {
        sum += b;
    }
    std::string block;
    block.push_back(static_cast<char>(sum >> 24));
    block.push_back(static_cast<char>(sum >> 16));
    block.push_back(static_cast<char>(sum >> 8));
    block.push_back(static_cast<char>(sum));
    block.append("qzerbanu11");
    auto d = sha256(block);
    return d ? std::optional(hex_lower(*d)) : std::nullopt;
}

std::optional<CipherKey> cipher_key(const ProtocolTables& tables, std::string_view address,
                                    std::uint32_t selector) {
    if (selector >= tables.cipher_selectors.size()) {
        return std::nullopt;
    }
    const auto [ext_row, iv_row] = tables.cipher_selectors[selector];
    if (ext_row >= tables.key_extensions.size() || iv_row >= tables.ivs.size()) {
        return std::nullopt;
    }
    auto d1 = sha256(cipher_key_text(address));
    if (!d1) {
        return std::nullopt;
    }
    const auto& ext = tables.key_extensions[ext_row];
    d1->insert(d1->end(), ext.begin(), ext.end());
    auto d2 = sha256(as_text(*d1));
    if (!d2) {
        return std::nullopt;
    }
    CipherKey out;
    std::copy(d2->end() - 16, d2->end(), out.key.begin());
    out.iv = tables.ivs[iv_row];
    return out;
}

std::optional<Bytes> aes128_cbc(bool encrypt, const CipherKey& key, const Bytes& data) {
    if (data.empty() || (!encrypt && data.size() % 16 != 0)) {
        return std::nullopt;
    }
    const HCRYPTPROV prov = provider();
    if (prov == 0) {
        return std::nullopt;
    }
    struct {
        BLOBHEADER header;
        DWORD size;
        BYTE key[16];
    } blob{};
    blob.header.bType = PLAINTEXTKEYBLOB;
    blob.header.bVersion = CUR_BLOB_VERSION;
    blob.header.aiKeyAlg = CALG_AES_128;
    blob.size = 16;
    std::memcpy(blob.key, key.key.data(), 16);
    HCRYPTKEY raw = 0;
    if (!::CryptImportKey(prov, reinterpret_cast<const BYTE*>(&blob), sizeof blob, 0, 0, &raw)) {
        return std::nullopt;
    }
    qelwin::unique_hcryptkey hkey(raw);
    DWORD padding = PKCS5_PADDING;
    DWORD mode = CRYPT_MODE_CBC;
    if (!::CryptSetKeyParam(hkey.get(), KP_PADDING, reinterpret_cast<const BYTE*>(&padding), 0) ||
        !::CryptSetKeyParam(hkey.get(), KP_IV, key.iv.data(), 0) ||
        !::CryptSetKeyParam(hkey.get(), KP_MODE, reinterpret_cast<const BYTE*>(&mode), 0)) {
        return std::nullopt;
    }
    Bytes buffer(data);
    buffer.resize(data.size() + 16);
    DWORD length = static_cast<DWORD>(data.size());
    const BOOL ok = encrypt ? ::CryptEncrypt(hkey.get(), 0, TRUE, 0, buffer.data(), &length,
                                             static_cast<DWORD>(buffer.size()))
                            : ::CryptDecrypt(hkey.get(), 0, TRUE, 0, buffer.data(), &length);
    if (!ok || length > buffer.size()) {
        return std::nullopt;
    }
    buffer.resize(length);
    return buffer;
}

std::optional<Bytes> cipher_payload(const ProtocolTables& tables, bool encrypt,
                                    std::string_view address, std::uint32_t mode,
                                    std::uint32_t selector, const Bytes& data) {
    if (mode == kModePlain) {
        return data;
    }
    if (mode != kModeAes) {
        return std::nullopt;
    }
    auto key = cipher_key(tables, address, selector);
    if (!key) {
        return std::nullopt;
    }
    return aes128_cbc(encrypt, *key, data);
}

} // namespace printersim::crypto
