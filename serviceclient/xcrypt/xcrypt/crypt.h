// Interfaces of the encryption of printer identities: the cipher operation, its key material
// and the text form of the result.
#pragma once

#include <cstddef>
#include <vector>

#include "qelcmn/destructible.h"

namespace xcrypt {

using Bytes = std::vector<unsigned char>;

// Key and initialisation vector that a cipher operation runs with.
class ICryptParam : public qelcmn::destructible::IDestructible {
public:
    // Pointers into the stored vectors; std::out_of_range while a vector is empty.
    virtual const unsigned char* KeyData() const = 0;
    virtual std::size_t KeySize() const = 0;
    virtual const unsigned char* IvData() const = 0;
    virtual std::size_t IvSize() const = 0;
};

// One cipher direction; keeps the output of its last run.
class ICrypt : public qelcmn::destructible::IDestructible {
public:
    // 1 on success, 0 on failure (bad arguments or a refused platform call).
    virtual int Execute(const ICryptParam* param, const unsigned char* data,
                        std::size_t length) = 0;
    virtual const unsigned char* Data() const = 0;
    virtual std::size_t Size() const = 0;
};

// Key material of one regional service.
class ICryptSpec : public ICryptParam {
public:
    virtual const Bytes& Salt() const = 0;
    // The crypt's output for this key material; empty when the crypt fails.
    virtual Bytes Process(ICrypt* crypt, const unsigned char* data, std::size_t length) = 0;
    // Keeps the salt (an empty one is replaced by a fresh random salt) and derives the
    // initialisation vector from it; false when the derivation fails.
    virtual bool SetSalt(Bytes salt) = 0;
    // Derives the key, then SetSalt; false when a derivation fails.
    virtual bool Init(Bytes salt) = 0;
};

// Text form of encrypted data.
class ICryptProcedure : public qelcmn::destructible::IDestructible {
public:
    // Both give an empty vector unless every argument is non-null, and on any failure.
    virtual Bytes Decode(ICrypt* crypt, ICryptSpec* spec, const unsigned char* begin,
                         const unsigned char* end) = 0;
    virtual Bytes Encode(ICrypt* crypt, ICryptSpec* spec, const unsigned char* begin,
                         const unsigned char* end) = 0;
};

} // namespace xcrypt
