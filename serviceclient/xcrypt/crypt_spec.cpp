#include "xcrypt/crypt_spec.h"

#include <new>

#include "xcrypt/md5.h"
#include "xcrypt/salt.h"

namespace xcrypt {
namespace {

template <typename Spec> ICryptSpec* CreateInitialised(Bytes salt) noexcept {
    try {
        qelcmn::destructible::unique_destructible<ICryptSpec> spec(new Spec());
        if (!spec->Init(std::move(salt))) {
            return nullptr;
        }
        return spec.release();
    } catch (...) {
        return nullptr;
    }
}

} // namespace

Bytes QELCryptSpec::Process(ICrypt* crypt, const unsigned char* data, std::size_t length) {
    if (crypt == nullptr || crypt->Execute(this, data, length) != 1) {
        return {};
    }
    return Bytes(crypt->Data(), crypt->Data() + crypt->Size());
}

bool QELCryptSpec::SetSalt(Bytes salt) {
    return SetSaltWithVector(Passphrase::QelVector, SaltKind::Binary, std::move(salt));
}

bool QELCryptSpec::Init(Bytes salt) {
    return InitWithKey(Passphrase::QelKey, std::move(salt));
}

bool QELCryptSpec::InitWithKey(Passphrase keyPhrase, Bytes salt) {
    const std::string phrase = AssemblePassphrase(keyPhrase);
    const auto key = Md5(reinterpret_cast<const unsigned char*>(phrase.data()), phrase.size());
    if (!key) {
        key_.clear();
        return false;
    }
    key_.assign(key->begin(), key->end());
    return SetSalt(std::move(salt));
}

bool QELCryptSpec::SetSaltWithVector(Passphrase vectorPhrase, SaltKind kind, Bytes salt) {
    if (salt.empty()) {
        salt = kind == SaltKind::Binary ? GenerateRandomSalt(0, 255) : GenerateRandomAlnumSalt();
    }
    salt_ = std::move(salt);
    const auto iv = HashPassphraseWithSalt(salt_, AssemblePassphrase(vectorPhrase));
    if (!iv) {
        iv_.clear();
        return false;
    }
    iv_.assign(iv->begin(), iv->end());
    return true;
}

ICryptSpec* KIVCryptSpec::Create(Bytes salt) noexcept {
    return CreateInitialised<KIVCryptSpec>(std::move(salt));
}

bool KIVCryptSpec::SetSalt(Bytes salt) {
    return SetSaltWithVector(Passphrase::KivVector, SaltKind::Alnum, std::move(salt));
}

ICryptSpec* REMCryptSpec::Create(Bytes salt) noexcept {
    return CreateInitialised<REMCryptSpec>(std::move(salt));
}

bool REMCryptSpec::SetSalt(Bytes salt) {
    return SetSaltWithVector(Passphrase::RemVector, SaltKind::Alnum, std::move(salt));
}

bool REMCryptSpec::Init(Bytes salt) {
    return InitWithKey(Passphrase::RemKey, std::move(salt));
}

ICryptSpec* TAVACryptSpec::Create(Bytes salt) noexcept {
    return CreateInitialised<TAVACryptSpec>(std::move(salt));
}

bool TAVACryptSpec::SetSalt(Bytes salt) {
    return SetSaltWithVector(Passphrase::TavaVector, SaltKind::Alnum, std::move(salt));
}

bool TAVACryptSpec::Init(Bytes salt) {
    return InitWithKey(Passphrase::TavaKey, std::move(salt));
}

} // namespace xcrypt
