#include "xcrypt/md5.h"

#include <windows.h>

#include <wincrypt.h>

#include <atomic>
#include <climits>

#include "win/unique_any.h"

namespace xcrypt {
namespace {

std::optional<Md5Digest> PlatformMd5(const unsigned char* data, std::size_t size) {
    if (size > ULONG_MAX || (data == nullptr && size != 0)) {
        return std::nullopt;
    }
    qelwin::unique_hcryptprov provider;
    if (!::CryptAcquireContextW(provider.put(), nullptr, nullptr, PROV_RSA_FULL,
                                CRYPT_VERIFYCONTEXT)) {
        return std::nullopt;
    }
    qelwin::unique_hcrypthash hash;
    if (!::CryptCreateHash(provider.get(), CALG_MD5, 0, 0, hash.put())) {
        return std::nullopt;
    }
    if (size != 0 && !::CryptHashData(hash.get(), data, static_cast<DWORD>(size), 0)) {
        return std::nullopt;
    }
    Md5Digest digest{};
    DWORD digestSize = static_cast<DWORD>(digest.size());
    if (!::CryptGetHashParam(hash.get(), HP_HASHVAL, digest.data(), &digestSize, 0) ||
        digestSize != digest.size()) {
        return std::nullopt;
    }
    return digest;
}

std::atomic<testhooks::Md5Function> g_md5{&PlatformMd5};

} // namespace

std::optional<Md5Digest> Md5(const unsigned char* data, std::size_t size) {
    return g_md5.load()(data, size);
}

std::optional<Md5Digest> HashPassphraseWithSalt(const Bytes& salt, std::string_view passphrase) {
    Bytes material(passphrase.begin(), passphrase.end());
    material.insert(material.end(), salt.begin(), salt.end());
    return Md5(material.data(), material.size());
}

namespace testhooks {
Md5Function ReplaceMd5(Md5Function replacement) noexcept {
    return g_md5.exchange(replacement != nullptr ? replacement : &PlatformMd5);
}
} // namespace testhooks

} // namespace xcrypt
