#include "xcrypt/crypt_codec.h"

#include <windows.h>

#include <bcrypt.h>

#include <climits>
#include <new>
#include <optional>

#include "win/unique_any.h"

namespace xcrypt {
namespace {

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

// Runs one AES-CBC pass with block padding; nothing on any refused platform call.
std::optional<Bytes> RunAesCbc(bool encrypt, const ICryptParam& param, const unsigned char* data,
                               std::size_t length) {
    // An unset key or vector is a failure of this call, not an exception from KeyData.
    if (param.KeySize() == 0 || param.IvSize() == 0 || param.KeySize() > ULONG_MAX ||
        param.IvSize() > ULONG_MAX || length > ULONG_MAX) {
        return std::nullopt;
    }
    qelwin::unique_bcrypt_algorithm algorithm;
    if (!Succeeded(
            ::BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_AES_ALGORITHM, nullptr, 0))) {
        return std::nullopt;
    }
    static constexpr wchar_t kChainingMode[] = BCRYPT_CHAIN_MODE_CBC;
    if (!Succeeded(
            ::BCryptSetProperty(algorithm.get(), BCRYPT_CHAINING_MODE,
                                reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(kChainingMode)),
                                sizeof(kChainingMode), 0))) {
        return std::nullopt;
    }
    qelwin::unique_bcrypt_key key;
    if (!Succeeded(::BCryptGenerateSymmetricKey(algorithm.get(), key.put(), nullptr, 0,
                                                const_cast<PUCHAR>(param.KeyData()),
                                                static_cast<ULONG>(param.KeySize()), 0))) {
        return std::nullopt;
    }

    Bytes input(data, data + length);
    // Both calls see the same vector: the first one only measures the output.
    Bytes iv(param.IvData(), param.IvData() + param.IvSize());
    const auto cipher = encrypt ? ::BCryptEncrypt : ::BCryptDecrypt;
    ULONG needed = 0;
    if (!Succeeded(cipher(key.get(), input.data(), static_cast<ULONG>(input.size()), nullptr,
                          iv.data(), static_cast<ULONG>(iv.size()), nullptr, 0, &needed,
                          BCRYPT_BLOCK_PADDING))) {
        return std::nullopt;
    }
    Bytes output(needed);
    ULONG written = 0;
    if (!Succeeded(cipher(key.get(), input.data(), static_cast<ULONG>(input.size()), nullptr,
                          iv.data(), static_cast<ULONG>(iv.size()), output.data(), needed, &written,
                          BCRYPT_BLOCK_PADDING)) ||
        written > needed) {
        return std::nullopt;
    }
    output.resize(written);
    return output;
}

int Run(bool encrypt, Bytes& output, const ICryptParam* param, const unsigned char* data,
        std::size_t length) {
    // A failed run never leaves the output of an earlier one behind.
    output.clear();
    if (param == nullptr || data == nullptr || length == 0) {
        return 0;
    }
    try {
        std::optional<Bytes> result = RunAesCbc(encrypt, *param, data, length);
        if (!result) {
            return 0;
        }
        output = std::move(*result);
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace

int CryptEncoder::Execute(const ICryptParam* param, const unsigned char* data, std::size_t length) {
    return Run(true, output_, param, data, length);
}

int CryptDecoder::Execute(const ICryptParam* param, const unsigned char* data, std::size_t length) {
    return Run(false, output_, param, data, length);
}

ICrypt* CreateCrypt(int kind) noexcept {
    switch (kind) {
    case kCryptKindEncoder:
        return new (std::nothrow) CryptEncoder();
    case kCryptKindDecoder:
        return new (std::nothrow) CryptDecoder();
    default:
        return nullptr;
    }
}

ICrypt* CreateEncoder() noexcept {
    return CreateCrypt(kCryptKindEncoder);
}

ICrypt* CreateDecoder() noexcept {
    return CreateCrypt(kCryptKindDecoder);
}

} // namespace xcrypt
