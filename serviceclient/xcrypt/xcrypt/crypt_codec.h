// AES-128/192/256 in CBC mode with block padding through BCrypt.
#pragma once

#include "xcrypt/crypt.h"

namespace xcrypt {

inline constexpr int kCryptKindEncoder = 1;
inline constexpr int kCryptKindDecoder = 2;

class CryptEncoder : public ICrypt {
public:
    int Execute(const ICryptParam* param, const unsigned char* data, std::size_t length) override;
    const unsigned char* Data() const override { return output_.data(); }
    std::size_t Size() const override { return output_.size(); }

protected:
    ~CryptEncoder() override = default;

private:
    Bytes output_;
};

class CryptDecoder : public ICrypt {
public:
    int Execute(const ICryptParam* param, const unsigned char* data, std::size_t length) override;
    const unsigned char* Data() const override { return output_.data(); }
    std::size_t Size() const override { return output_.size(); }

protected:
    ~CryptDecoder() override = default;

private:
    Bytes output_;
};

// 1 gives an encoder, 2 a decoder, anything else (or no memory) null.
ICrypt* CreateCrypt(int kind) noexcept;
ICrypt* CreateEncoder() noexcept;
ICrypt* CreateDecoder() noexcept;

} // namespace xcrypt
