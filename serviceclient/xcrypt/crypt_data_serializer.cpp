#include "xcrypt/crypt_data_serializer.h"

#include <new>
#include <string_view>

#include "xcrypt/base64.h"
#include "xcrypt/salt.h"

namespace xcrypt {

ICryptProcedure* KIVCryptDataSerializer::Create() noexcept {
    return new (std::nothrow) KIVCryptDataSerializer();
}

Bytes KIVCryptDataSerializer::Encode(ICrypt* crypt, ICryptSpec* spec, const unsigned char* begin,
                                     const unsigned char* end) {
    if (crypt == nullptr || spec == nullptr || begin == nullptr || end == nullptr || end < begin) {
        return {};
    }
    const Bytes ciphertext = spec->Process(crypt, begin, static_cast<std::size_t>(end - begin));
    // Block padding never gives an empty ciphertext, so empty means the cipher failed.
    if (ciphertext.empty()) {
        return {};
    }
    Bytes buffer = spec->Salt();
    buffer.insert(buffer.end(), ciphertext.begin(), ciphertext.end());
    return Base64Encode(buffer.data(), buffer.size());
}

Bytes KIVCryptDataSerializer::Decode(ICrypt* crypt, ICryptSpec* spec, const unsigned char* begin,
                                     const unsigned char* end) {
    if (crypt == nullptr || spec == nullptr || begin == nullptr || end == nullptr || end < begin) {
        return {};
    }
    const Bytes decoded = Base64Decode(std::string_view(reinterpret_cast<const char*>(begin),
                                                        static_cast<std::size_t>(end - begin)));
    if (decoded.size() < kAlnumSaltSize) {
        return {};
    }
    const auto cipherBegin = decoded.begin() + static_cast<std::ptrdiff_t>(kAlnumSaltSize);
    if (!spec->SetSalt(Bytes(decoded.begin(), cipherBegin))) {
        return {};
    }
    const Bytes ciphertext(cipherBegin, decoded.end());
    return spec->Process(crypt, ciphertext.data(), ciphertext.size());
}

} // namespace xcrypt
