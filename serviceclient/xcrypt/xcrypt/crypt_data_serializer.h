// Text form of the regional services: Base64 of the 8 salt characters followed by the
// ciphertext.
#pragma once

#include "xcrypt/crypt.h"

namespace xcrypt {

class KIVCryptDataSerializer : public ICryptProcedure {
public:
    static ICryptProcedure* Create() noexcept;

    // Base64 text of the crypt spec's salt bytes followed by the ciphertext of the bytes;
    // empty when the encryption fails, so the salt is never sent on its own.
    Bytes Encode(ICrypt* crypt, ICryptSpec* spec, const unsigned char* begin,
                 const unsigned char* end) override;
    // The inverse: the first 8 decoded bytes become the crypt spec's salt and the rest is run
    // through the crypt (a decoder). A text shorter than the salt gives an empty vector.
    Bytes Decode(ICrypt* crypt, ICryptSpec* spec, const unsigned char* begin,
                 const unsigned char* end) override;

protected:
    ~KIVCryptDataSerializer() override = default;
};

} // namespace xcrypt
