#include "qelhttp/embedded_secrets.h"

#include <array>
#include <cstddef>

#include "qelcmn/config_store.h"

namespace qelhttp {

namespace {

// Each table holds one filler byte at its skipped position; every other byte is the text's
// byte XOR the mask.
template <std::size_t N>
std::string Unscramble(const std::array<unsigned char, N>& table, std::size_t skipped,
                       unsigned char mask) {
    std::string text;
    text.reserve(N - 1);
    for (std::size_t i = 0; i < N; ++i) {
        if (i != skipped) {
            text += static_cast<char>(table[i] ^ mask);
        }
    }
    return text;
}

constexpr std::array<unsigned char, 34> kTokenKeyA = {
    0x2C, 0x38, 0x31, 0x70, 0x29, 0x32, 0x36, 0x38, 0x33, 0x70, 0x36, 0xA5,
    0x38, 0x24, 0x70, 0x1C, 0x70, 0x69, 0x3B, 0x64, 0x3E, 0x6F, 0x38, 0x65,
    0x6C, 0x3F, 0x6A, 0x39, 0x6D, 0x68, 0x3C, 0x6B, 0x6E, 0x38};
constexpr std::size_t kTokenKeyASkipped = 11;
constexpr unsigned char kTokenKeyAMask = 0x5D;

constexpr std::array<unsigned char, 34> kTokenKeyB = {
    0xD6, 0xC2, 0xCB, 0x8A, 0xD3, 0xC8, 0xCC, 0xC2, 0xC9, 0x8A, 0xCC, 0xC2,
    0xDE, 0x8A, 0xE5, 0x8A, 0x9F, 0xC3, 0x96, 0xC2, 0x4D, 0x90, 0xC4, 0x94,
    0x97, 0xC6, 0x9E, 0xC1, 0x91, 0x93, 0xC5, 0x95, 0x92, 0xC4};
constexpr std::size_t kTokenKeyBSkipped = 20;
constexpr unsigned char kTokenKeyBMask = 0xA7;

constexpr std::array<unsigned char, 17> kClientId = {0x6D, 0x59, 0x50, 0x6E, 0x59, 0x5B,
                                                     0xCA, 0x7F, 0x50, 0x55, 0x59, 0x52,
                                                     0x48, 0x0C, 0x0B, 0x0D, 0x0A};
constexpr std::size_t kClientIdSkipped = 6;
constexpr unsigned char kClientIdMask = 0x3C;

} // namespace

SigningKey TokenSigningKey(const std::wstring& tenantId) {
    if (tenantId == L"rem") {
        return MakeSigningKey(Unscramble(kTokenKeyA, kTokenKeyASkipped, kTokenKeyAMask));
    }
    if (tenantId == L"tava") {
        return MakeSigningKey({});
    }
    return MakeSigningKey(Unscramble(kTokenKeyB, kTokenKeyBSkipped, kTokenKeyBMask));
}

SigningKey PrinterIdSigningKey() {
    return MakeSigningKey(qelcmn::GetObfuscatedString(qelcmn::kConfigPrinterIdSigningKey));
}

std::wstring PrinterIdClientId() {
    const std::string id = Unscramble(kClientId, kClientIdSkipped, kClientIdMask);
    return std::wstring(id.begin(), id.end());
}

} // namespace qelhttp
