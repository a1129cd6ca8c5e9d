#include "qelhttp/request_signature.h"

#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>

#include <algorithm>
#include <random>
#include <vector>

#include "win/unique_any.h"

namespace qelhttp {

namespace {

constexpr wchar_t kNonceAlphabet[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
constexpr std::size_t kNonceLength = 32;
constexpr unsigned kAlphabetSize = 36;

bool NTSuccess(NTSTATUS status) {
    return status >= 0;
}

// Random bytes from the platform's generator; should it keep failing, from a Mersenne Twister
// seeded by the random device, so that a nonce is always made and the send never hangs here.
void FillRandom(unsigned char (&random)[64]) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (NTSuccess(::BCryptGenRandom(nullptr, random, sizeof(random),
                                        BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            return;
        }
    }
    std::mt19937 engine{std::random_device{}()};
    std::uniform_int_distribution<int> byte(0, 255);
    for (unsigned char& b : random) {
        b = static_cast<unsigned char>(byte(engine));
    }
}

} // namespace

SigningKey MakeSigningKey(const std::string& keyText) {
    SigningKey key{};
    std::copy_n(keyText.begin(), std::min(keyText.size(), key.size()), key.begin());
    return key;
}

std::wstring MakeNonce() {
    std::wstring nonce;
    nonce.reserve(kNonceLength);
    unsigned char random[64];
    while (nonce.size() < kNonceLength) {
        FillRandom(random);
        for (unsigned char byte : random) {
            // 252 is the largest multiple of 36 below 256: rejecting the rest keeps every
            // character equally likely.
            if (byte < 252 && nonce.size() < kNonceLength) {
                nonce += kNonceAlphabet[byte % kAlphabetSize];
            }
        }
    }
    return nonce;
}

std::wstring SignNonce(const SigningKey& key, const std::wstring& nonce) {
    const std::string message(nonce.begin(), nonce.end());
    qelwin::unique_bcrypt_algorithm algorithm;
    if (!NTSuccess(::BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr,
                                                 BCRYPT_ALG_HANDLE_HMAC_FLAG))) {
        return {};
    }
    qelwin::unique_bcrypt_hash hash;
    if (!NTSuccess(::BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0,
                                      const_cast<unsigned char*>(key.data()),
                                      static_cast<ULONG>(key.size()), 0))) {
        return {};
    }
    std::vector<unsigned char> data(message.begin(), message.end());
    unsigned char digest[32] = {};
    if (!NTSuccess(::BCryptHashData(hash.get(), data.data(), static_cast<ULONG>(data.size()), 0)) ||
        !NTSuccess(::BCryptFinishHash(hash.get(), digest, sizeof(digest), 0))) {
        return {};
    }
    DWORD chars = 0;
    if (!::CryptBinaryToStringW(digest, sizeof(digest), CRYPT_STRING_BASE64, nullptr, &chars)) {
        return {};
    }
    std::wstring text(chars, L'\0');
    if (!::CryptBinaryToStringW(digest, sizeof(digest), CRYPT_STRING_BASE64, text.data(), &chars)) {
        return {};
    }
    text.resize(chars);
    return text;
}

std::wstring MakeAuthorizationHeader(const SigningKey& key) {
    const std::wstring nonce = MakeNonce();
    return L"Authorization:Data=" + nonce + L",Signature=" + SignNonce(key, nonce);
}

} // namespace qelhttp
