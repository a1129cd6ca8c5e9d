#include "xcrypt/crypt_suite.h"

#include "xcrypt/crypt_codec.h"
#include "xcrypt/crypt_data_serializer.h"
#include "xcrypt/crypt_spec.h"

namespace xcrypt {

CryptSuite::CryptSuite(CryptFactory encoderFactory, CryptFactory decoderFactory,
                       SpecFactory specFactory, ProcedureFactory serializerFactory)
    : encoderFactory_(std::move(encoderFactory)), decoderFactory_(std::move(decoderFactory)),
      specFactory_(std::move(specFactory)), serializerFactory_(std::move(serializerFactory)) {}

CryptSuite::CryptSuite(const CryptSuite& other)
    : encoderFactory_(other.encoderFactory_), decoderFactory_(other.decoderFactory_),
      specFactory_(other.specFactory_), serializerFactory_(other.serializerFactory_) {}

CryptSuite& CryptSuite::operator=(const CryptSuite& other) {
    if (this != &other) {
        *this = CryptSuite(other);
    }
    return *this;
}

std::string CryptSuite::EncryptToText(const unsigned char* bytes, std::size_t length) {
    if (bytes == nullptr || length == 0) {
        return {};
    }
    if (!encoder_) {
        encoder_.reset(encoderFactory_());
    }
    if (spec_) {
        // A new salt, and with it a new initialisation vector, for every value.
        if (!spec_->SetSalt({})) {
            return {};
        }
    } else {
        spec_.reset(specFactory_({}));
    }
    if (!serializer_) {
        serializer_.reset(serializerFactory_());
    }
    if (!serializer_) {
        return {};
    }
    const Bytes text = serializer_->Encode(encoder_.get(), spec_.get(), bytes, bytes + length);
    return std::string(text.begin(), text.end());
}

CryptSuite MakeKIVCryptSuite() {
    return CryptSuite(&CreateEncoder, &CreateDecoder, &KIVCryptSpec::Create,
                      &KIVCryptDataSerializer::Create);
}

CryptSuite MakeREMCryptSuite() {
    return CryptSuite(&CreateEncoder, &CreateDecoder, &REMCryptSpec::Create,
                      &KIVCryptDataSerializer::Create);
}

CryptSuite MakeTAVACryptSuite() {
    return CryptSuite(&CreateEncoder, &CreateDecoder, &TAVACryptSpec::Create,
                      &KIVCryptDataSerializer::Create);
}

} // namespace xcrypt
