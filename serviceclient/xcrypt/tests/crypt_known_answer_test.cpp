// Known answers from an independent implementation: crypt_known_answers.inc is written by
// crypt_reference.py (hashlib and python3-cryptography), and ctest checks that it is up to date.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "crypt_test_support.h"
#include "xcrypt/crypt_codec.h"
#include "xcrypt/crypt_data_serializer.h"
#include "xcrypt/crypt_spec.h"
#include "xcrypt/crypt_suite.h"
#include "xcrypt/md5.h"

namespace {

using namespace xcrypt;
using namespace xcrypt::test;
using qelcmn::destructible::unique_destructible;

struct Md5Answer {
    std::string data;
    std::string digest;
};
struct SaltedMd5Answer {
    std::string phrase;
    std::string salt;
    std::string digest;
};
struct AesAnswer {
    std::string plain;
    std::string cipherHex;
};

TEST(CryptKnownAnswer, Md5AndPassphraseOrder) {
    const std::vector<Md5Answer> plain = {
#define XCRYPT_KA_MD5(...) Md5Answer{__VA_ARGS__},
#include "crypt_known_answers.inc"
    };
    ASSERT_FALSE(plain.empty());
    for (const auto& a : plain) {
        const Bytes data = B(a.data);
        const auto digest = Md5(data.empty() ? nullptr : data.data(), data.size());
        ASSERT_TRUE(digest) << a.data;
        EXPECT_EQ(Hex(digest->data(), 16), a.digest) << a.data;
    }
    // The pass phrase comes before the salt.
    const std::vector<SaltedMd5Answer> salted = {
#define XCRYPT_KA_SALTED_MD5(...) SaltedMd5Answer{__VA_ARGS__},
#include "crypt_known_answers.inc"
    };
    ASSERT_FALSE(salted.empty());
    for (const auto& a : salted) {
        const auto digest = HashPassphraseWithSalt(B(a.salt), a.phrase);
        ASSERT_TRUE(digest) << a.phrase;
        EXPECT_EQ(Hex(digest->data(), 16), a.digest) << a.phrase;
    }
}

TEST(CryptKnownAnswer, AesCbcEncryptsAndDecrypts) {
    // The key 00..0f and the vector 10..1f; a full block gets a whole block of padding.
    const FixedParam param(Sequence(0x00, 16), Sequence(0x10, 16));
    const std::vector<AesAnswer> answers = {
#define XCRYPT_KA_AES(...) AesAnswer{__VA_ARGS__},
#include "crypt_known_answers.inc"
    };
    ASSERT_FALSE(answers.empty());
    unique_destructible<ICrypt> encoder(CreateEncoder());
    unique_destructible<ICrypt> decoder(CreateDecoder());
    ASSERT_TRUE(encoder && decoder);
    for (const auto& c : answers) {
        const Bytes plain = B(c.plain);
        ASSERT_EQ(encoder->Execute(&param, plain.data(), plain.size()), 1) << c.plain;
        EXPECT_EQ(Hex(encoder->Data(), encoder->Size()), c.cipherHex);
        const Bytes cipher(encoder->Data(), encoder->Data() + encoder->Size());
        ASSERT_EQ(decoder->Execute(&param, cipher.data(), cipher.size()), 1) << c.plain;
        EXPECT_EQ(Bytes(decoder->Data(), decoder->Data() + decoder->Size()), plain);
    }
}

struct SpecAnswer {
    std::string name;
    std::string salt;
    std::string keyHex;
    std::string ivHex;
    std::string firstPlain;
    std::string firstText;
    std::string secondPlain;
    std::string secondText;
};
struct BinarySaltAnswer {
    std::string saltHex;
    std::string keyHex;
    std::string ivHex;
};

TEST(CryptKnownAnswer, RegionalKeyMaterialAndTexts) {
    const std::map<std::string, std::function<ICryptSpec*(Bytes)>> factories = {
        {"KIV", &KIVCryptSpec::Create},
        {"REM", &REMCryptSpec::Create},
        {"TAVA", &TAVACryptSpec::Create},
    };
    const std::vector<SpecAnswer> answers = {
#define XCRYPT_KA_SPEC(...) SpecAnswer{__VA_ARGS__},
#include "crypt_known_answers.inc"
    };
    ASSERT_EQ(answers.size(), factories.size());
    for (const auto& c : answers) {
        SCOPED_TRACE(c.name);
        const auto create = factories.at(c.name);
        const Bytes salt = B(c.salt);
        unique_destructible<ICryptSpec> spec(create(salt));
        ASSERT_TRUE(spec);
        EXPECT_EQ(spec->Salt(), salt);
        EXPECT_EQ(Hex(spec->KeyData(), spec->KeySize()), c.keyHex);
        EXPECT_EQ(Hex(spec->IvData(), spec->IvSize()), c.ivHex);

        // EncryptToText with the salt fixed through the suite's spec factory.
        CryptSuite suite(
            &CreateEncoder, &CreateDecoder, [&](Bytes) { return create(salt); },
            &KIVCryptDataSerializer::Create);
        const Bytes first = B(c.firstPlain);
        EXPECT_EQ(suite.EncryptToText(first.data(), first.size()), c.firstText);
        CryptSuite second(suite);
        const Bytes secondPlain = B(c.secondPlain);
        EXPECT_EQ(second.EncryptToText(secondPlain.data(), secondPlain.size()), c.secondText);
    }
}

TEST(CryptKnownAnswer, BaseSpecUsesBinarySalt) {
    const std::vector<BinarySaltAnswer> answers = {
#define XCRYPT_KA_BINARY_SALT(...) BinarySaltAnswer{__VA_ARGS__},
#include "crypt_known_answers.inc"
    };
    ASSERT_FALSE(answers.empty());
    for (const auto& c : answers) {
        unique_destructible<ICryptSpec> spec(new QELCryptSpec());
        ASSERT_TRUE(spec->Init(FromHex(c.saltHex)));
        EXPECT_EQ(Hex(spec->KeyData(), spec->KeySize()), c.keyHex);
        EXPECT_EQ(Hex(spec->IvData(), spec->IvSize()), c.ivHex);
    }

    // Without a salt it makes 16 to 64 random bytes.
    unique_destructible<ICryptSpec> spec(new QELCryptSpec());
    ASSERT_TRUE(spec->SetSalt({}));
    EXPECT_GE(spec->Salt().size(), 16u);
    EXPECT_LE(spec->Salt().size(), 64u);
}

} // namespace
