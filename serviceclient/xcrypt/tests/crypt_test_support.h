// Helpers shared by the xcrypt tests.
#pragma once

#include <string>

#include "xcrypt/crypt.h"

namespace xcrypt::test {

inline Bytes B(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline std::string Hex(const unsigned char* data, std::size_t size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < size; ++i) {
        hex.push_back(kDigits[data[i] >> 4]);
        hex.push_back(kDigits[data[i] & 0x0F]);
    }
    return hex;
}

inline std::string Hex(const Bytes& bytes) {
    return Hex(bytes.data(), bytes.size());
}

// Bytes of lower-case hexadecimal digits, as the known answers write them.
inline Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// Key material given directly, for the cipher's own known answers.
class FixedParam : public ICryptParam {
public:
    FixedParam(Bytes key, Bytes iv) : key_(std::move(key)), iv_(std::move(iv)) {}
    ~FixedParam() override = default;
    const unsigned char* KeyData() const override { return &key_.at(0); }
    std::size_t KeySize() const override { return key_.size(); }
    const unsigned char* IvData() const override { return &iv_.at(0); }
    std::size_t IvSize() const override { return iv_.size(); }

private:
    Bytes key_;
    Bytes iv_;
};

inline Bytes Sequence(unsigned char first, std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<unsigned char>(first + i);
    }
    return bytes;
}

} // namespace xcrypt::test
