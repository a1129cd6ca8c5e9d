// Known answers from an independent implementation: every expected value below is printed by
// /usr/bin/python3 serviceclient/xcrypt/tests/crypt_reference.py (hashlib and
// python3-cryptography), on the line named in the comment.
#include <gtest/gtest.h>

#include <functional>
#include <string>

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

TEST(CryptKnownAnswer, Md5AndPassphraseOrder) {
    // md5(''), md5('abc')
    const auto empty = Md5(nullptr, 0);
    ASSERT_TRUE(empty);
    EXPECT_EQ(Hex(empty->data(), 16), "d41d8cd98f00b204e9800998ecf8427e");
    const Bytes abc = B("abc");
    EXPECT_EQ(Hex(Md5(abc.data(), abc.size())->data(), 16), "900150983cd24fb0d6963f7d28e17f72");
    // md5('phrase0001' + 'salt5678'): the pass phrase comes first.
    const auto salted = HashPassphraseWithSalt(B("salt5678"), "phrase0001");
    ASSERT_TRUE(salted);
    EXPECT_EQ(Hex(salted->data(), 16), "d20a83460bf181044fd5ab98220ace41");
}

TEST(CryptKnownAnswer, AesCbcEncryptsAndDecrypts) {
    // aes(key 00..0f, iv 10..1f, ...)
    const FixedParam param(Sequence(0x00, 16), Sequence(0x10, 16));
    struct Case {
        std::string plain;
        std::string cipherHex;
    };
    const Case cases[] = {
        {"A", "ab8e65c98aa9ed468dd1d5c536cc66a8"},
        // A full block gets a whole block of padding.
        {"0123456789abcdef", "eb9e5ba41b902db8252982aa1a23f4be50c761ee882c090360eb92688653635f"},
        {"printer-identity-0042",
         "5e3eeac8831f692ad95ddec26efab59317f2e7c093ef0d6a55855eb8f0f2afa1"},
    };
    unique_destructible<ICrypt> encoder(CreateEncoder());
    unique_destructible<ICrypt> decoder(CreateDecoder());
    ASSERT_TRUE(encoder && decoder);
    for (const auto& c : cases) {
        const Bytes plain = B(c.plain);
        ASSERT_EQ(encoder->Execute(&param, plain.data(), plain.size()), 1) << c.plain;
        EXPECT_EQ(Hex(encoder->Data(), encoder->Size()), c.cipherHex);
        const Bytes cipher(encoder->Data(), encoder->Data() + encoder->Size());
        ASSERT_EQ(decoder->Execute(&param, cipher.data(), cipher.size()), 1) << c.plain;
        EXPECT_EQ(Bytes(decoder->Data(), decoder->Data() + decoder->Size()), plain);
    }
}

TEST(CryptKnownAnswer, RegionalKeyMaterialAndTexts) {
    struct Case {
        const char* name;
        std::function<ICryptSpec*(Bytes)> create;
        std::string keyHex;
        std::string ivHex;
        std::string textOfBlock;  // "<spec> text of b'0123456789abcdef'"
        std::string textOfUtf8Id; // "<spec> text of b'PRN-\xc3\xa9-7'"
    };
    const Case cases[] = {
        {"KIV", &KIVCryptSpec::Create, "9d7beacd630508acf090b15e8fdd0ac3",
         "2fee45ff7944fb555841613b2c4b58ac",
         "azN5NWExdDmS3u+hrw5a39u9o8bKps0TZiGoHC2jrXiCe5aOLAJ3Fw==",
         "azN5NWExdDkruvGZzyhN7KCrZk+yCfgo"},
        {"REM", &REMCryptSpec::Create, "e7d5bf84a7c4a8809eb498c6e8ff8c84",
         "2c41349648cd64a828551d66c77db3b7",
         "azN5NWExdDl/26iMoH2G/Oi2ShUdRQI7OwEvi5hJ5KMwyJ9jpmWDYw==",
         "azN5NWExdDmQZDYhA4FfiPP4slqnKtTe"},
        {"TAVA", &TAVACryptSpec::Create, "e3af0208cd267dd652cbc05d757b72bf",
         "44449cdbe0b561f4ae77d4722a83af37",
         "azN5NWExdDlHjsQ/VovlP1aYCt2xfDefjBJTajt1vmZCekNtoAWa+A==",
         "azN5NWExdDkzUL8pBda56wxeZ1QmBaw1"},
    };
    const Bytes salt = B("k3y5a1t9");
    const Bytes block = B("0123456789abcdef");
    const Bytes utf8Id = B("PRN-\xC3\xA9-7");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        unique_destructible<ICryptSpec> spec(c.create(salt));
        ASSERT_TRUE(spec);
        EXPECT_EQ(spec->Salt(), salt);
        EXPECT_EQ(Hex(spec->KeyData(), spec->KeySize()), c.keyHex);
        EXPECT_EQ(Hex(spec->IvData(), spec->IvSize()), c.ivHex);

        // EncryptToText with the salt fixed through the suite's spec factory.
        CryptSuite suite(
            &CreateEncoder, &CreateDecoder, [&](Bytes) { return c.create(salt); },
            &KIVCryptDataSerializer::Create);
        EXPECT_EQ(suite.EncryptToText(block.data(), block.size()), c.textOfBlock);
        CryptSuite second(suite);
        EXPECT_EQ(second.EncryptToText(utf8Id.data(), utf8Id.size()), c.textOfUtf8Id);
    }
}

TEST(CryptKnownAnswer, BaseSpecUsesBinarySalt) {
    // "QEL key", "QEL iv" with the salt 00..0f.
    unique_destructible<ICryptSpec> spec(new QELCryptSpec());
    ASSERT_TRUE(spec->Init(Sequence(0x00, 16)));
    EXPECT_EQ(Hex(spec->KeyData(), spec->KeySize()), "9d7beacd630508acf090b15e8fdd0ac3");
    EXPECT_EQ(Hex(spec->IvData(), spec->IvSize()), "766b1aa807816f24362c7e3bf460fced");

    // Without a salt it makes 16 to 64 random bytes.
    ASSERT_TRUE(spec->SetSalt({}));
    EXPECT_GE(spec->Salt().size(), 16u);
    EXPECT_LE(spec->Salt().size(), 64u);
}

} // namespace
