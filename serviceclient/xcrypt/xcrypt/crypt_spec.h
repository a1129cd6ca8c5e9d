// Key material of the regional services: key and initialisation vector derived with MD5 from
// the service's two pass phrases and a salt.
#pragma once

#include "xcrypt/crypt.h"
#include "xcrypt/passphrase.h"

namespace xcrypt {

// The base key material: a random binary salt of 16 to 64 bytes.
class QELCryptSpec : public ICryptSpec {
public:
    QELCryptSpec() = default;

    const unsigned char* KeyData() const override { return &key_.at(0); }
    std::size_t KeySize() const override { return key_.size(); }
    const unsigned char* IvData() const override { return &iv_.at(0); }
    std::size_t IvSize() const override { return iv_.size(); }

    const Bytes& Salt() const override { return salt_; }
    Bytes Process(ICrypt* crypt, const unsigned char* data, std::size_t length) override;
    bool SetSalt(Bytes salt) override;
    bool Init(Bytes salt) override;

protected:
    ~QELCryptSpec() override = default;

    enum class SaltKind { Binary, Alnum };

    // Key := MD5 of the key pass phrase, then the most derived SetSalt.
    bool InitWithKey(Passphrase keyPhrase, Bytes salt);
    // Keeps or makes the salt and derives the vector from it. On failure the vector is emptied,
    // so no stale vector is ever paired with a new salt.
    bool SetSaltWithVector(Passphrase vectorPhrase, SaltKind kind, Bytes salt);

private:
    Bytes salt_;
    Bytes iv_;
    Bytes key_;
};

// The default regional key material; also serves the "nqo" service. Key from the QEL key
// pass phrase, vector from its own phrase, 8-character salts.
class KIVCryptSpec : public QELCryptSpec {
public:
    // A new spec initialised with the salt (an empty salt makes a random one); null when the
    // key material cannot be derived.
    static ICryptSpec* Create(Bytes salt) noexcept;

    bool SetSalt(Bytes salt) override;

protected:
    ~KIVCryptSpec() override = default;
};

class REMCryptSpec : public KIVCryptSpec {
public:
    static ICryptSpec* Create(Bytes salt) noexcept;

    bool SetSalt(Bytes salt) override;
    bool Init(Bytes salt) override;

protected:
    ~REMCryptSpec() override = default;
};

class TAVACryptSpec : public KIVCryptSpec {
public:
    static ICryptSpec* Create(Bytes salt) noexcept;

    bool SetSalt(Bytes salt) override;
    bool Init(Bytes salt) override;

protected:
    ~TAVACryptSpec() override = default;
};

} // namespace xcrypt
