// One regional service's encryption: the factories of its cipher, key material and text form,
// and the objects they made, reused while the suite lives.
#pragma once

#include <functional>
#include <string>

#include "xcrypt/crypt.h"

namespace xcrypt {

class CryptSuite {
public:
    using CryptFactory = std::function<ICrypt*()>;
    using SpecFactory = std::function<ICryptSpec*(Bytes salt)>;
    using ProcedureFactory = std::function<ICryptProcedure*()>;

    CryptSuite(CryptFactory encoderFactory, CryptFactory decoderFactory, SpecFactory specFactory,
               ProcedureFactory serializerFactory);

    // A copy takes the factories only and makes its own objects.
    CryptSuite(const CryptSuite& other);
    CryptSuite& operator=(const CryptSuite& other);
    CryptSuite(CryptSuite&&) noexcept = default;
    CryptSuite& operator=(CryptSuite&&) noexcept = default;
    ~CryptSuite() = default;

    // Base64 text of a fresh salt and the ciphertext of the bytes. Empty for no input and
    // when any step fails. Every call uses a new salt; the key stays.
    std::string EncryptToText(const unsigned char* bytes, std::size_t length);

private:
    template <typename T> using Owned = qelcmn::destructible::unique_destructible<T>;

    CryptFactory encoderFactory_;
    CryptFactory decoderFactory_;
    SpecFactory specFactory_;
    ProcedureFactory serializerFactory_;
    // Declared in this order so that they are destroyed serializer first, factories last.
    Owned<ICrypt> encoder_;
    Owned<ICrypt> decoder_;
    Owned<ICryptSpec> spec_;
    Owned<ICryptProcedure> serializer_;
};

CryptSuite MakeKIVCryptSuite();
CryptSuite MakeREMCryptSuite();
CryptSuite MakeTAVACryptSuite();

} // namespace xcrypt
