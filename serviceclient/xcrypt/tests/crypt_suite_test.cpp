// Behaviour of the suites, the serializer and the failure paths of the factories.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <set>
#include <string>

#include "crypt_test_support.h"
#include "xcrypt/base64.h"
#include "xcrypt/crypt_codec.h"
#include "xcrypt/crypt_data_serializer.h"
#include "xcrypt/crypt_spec.h"
#include "xcrypt/crypt_suite.h"
#include "xcrypt/md5.h"

namespace {

using namespace xcrypt;
using namespace xcrypt::test;
using qelcmn::destructible::unique_destructible;

struct Service {
    const char* name;
    std::function<CryptSuite()> makeSuite;
    std::function<ICryptSpec*(Bytes)> createSpec;
};

const Service kServices[] = {
    {"KIV", &MakeKIVCryptSuite, &KIVCryptSpec::Create},
    {"REM", &MakeREMCryptSuite, &REMCryptSpec::Create},
    {"TAVA", &MakeTAVACryptSuite, &TAVACryptSpec::Create},
};

Bytes DecodeText(const Service& service, const std::string& text) {
    unique_destructible<ICrypt> decoder(CreateDecoder());
    unique_destructible<ICryptSpec> spec(service.createSpec({}));
    unique_destructible<ICryptProcedure> serializer(KIVCryptDataSerializer::Create());
    const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
    return serializer->Decode(decoder.get(), spec.get(), begin, begin + text.size());
}

bool IsAlnumLower(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
}

TEST(CryptSuite, EveryValueGetsAFreshSaltAndDecodes) {
    const Bytes id = B("0123456789abcdef");
    for (const auto& service : kServices) {
        SCOPED_TRACE(service.name);
        CryptSuite suite = service.makeSuite();
        const std::string first = suite.EncryptToText(id.data(), id.size());
        const std::string second = suite.EncryptToText(id.data(), id.size());
        EXPECT_NE(first, second);
        for (const auto& text : {first, second}) {
            // 8 salt characters, then the full padding block makes 32 cipher bytes.
            const Bytes raw = Base64Decode(text);
            ASSERT_EQ(raw.size(), 8u + 32u);
            for (std::size_t i = 0; i < 8; ++i) {
                EXPECT_TRUE(IsAlnumLower(raw[i])) << text;
            }
            EXPECT_EQ(DecodeText(service, text), id);
        }
    }
}

TEST(CryptSuite, ServicesDoNotReadEachOther) {
    const Bytes id = B("printer");
    CryptSuite rem = MakeREMCryptSuite();
    const std::string text = rem.EncryptToText(id.data(), id.size());
    // Another service's key either fails the padding check or gives other bytes.
    EXPECT_NE(DecodeText(kServices[2], text), id);
    EXPECT_EQ(DecodeText(kServices[1], text), id);
}

TEST(CryptSuite, NoInputMakesNoObjects) {
    int made = 0;
    const auto counting = [&made](auto factory) {
        return [&made, factory](auto... args) {
            ++made;
            return factory(args...);
        };
    };
    CryptSuite suite(counting(&CreateEncoder), counting(&CreateDecoder),
                     counting(&KIVCryptSpec::Create), counting(&KIVCryptDataSerializer::Create));
    const unsigned char byte = 'x';
    EXPECT_EQ(suite.EncryptToText(nullptr, 4), "");
    EXPECT_EQ(suite.EncryptToText(&byte, 0), "");
    EXPECT_EQ(made, 0);
    // Later calls reuse what the first one made.
    EXPECT_FALSE(suite.EncryptToText(&byte, 1).empty());
    EXPECT_FALSE(suite.EncryptToText(&byte, 1).empty());
    EXPECT_EQ(made, 3);
}

TEST(CryptSuite, FailuresGiveAnEmptyText) {
    const Bytes id = B("id");
    struct Case {
        const char* name;
        CryptSuite suite;
    };
    Case cases[] = {
        // A crypt that cannot run (kind 3 gives null) must not leave the salt alone as text.
        {"no encoder", CryptSuite([] { return CreateCrypt(3); }, &CreateDecoder,
                                  &KIVCryptSpec::Create, &KIVCryptDataSerializer::Create)},
        {"decoder as encoder", CryptSuite(&CreateDecoder, &CreateDecoder, &KIVCryptSpec::Create,
                                          &KIVCryptDataSerializer::Create)},
        {"no spec",
         CryptSuite(
             &CreateEncoder, &CreateDecoder, [](Bytes) -> ICryptSpec* { return nullptr; },
             &KIVCryptDataSerializer::Create)},
        {"no serializer", CryptSuite(&CreateEncoder, &CreateDecoder, &KIVCryptSpec::Create,
                                     []() -> ICryptProcedure* { return nullptr; })},
    };
    for (auto& c : cases) {
        EXPECT_EQ(c.suite.EncryptToText(id.data(), id.size()), "") << c.name;
    }
    // An empty factory is a programming error and says so.
    CryptSuite empty(nullptr, nullptr, nullptr, nullptr);
    EXPECT_THROW(empty.EncryptToText(id.data(), id.size()), std::bad_function_call);
}

class FailingMd5 : public ::testing::Test {
protected:
    static std::optional<Md5Digest> Fail(const unsigned char*, std::size_t) { return {}; }
    static std::optional<Md5Digest> Throw(const unsigned char*, std::size_t) {
        throw std::bad_alloc();
    }
    void Break(testhooks::Md5Function how = &Fail) { previous_ = testhooks::ReplaceMd5(how); }
    void Restore() { testhooks::ReplaceMd5(previous_); }
    void TearDown() override { Restore(); }

private:
    testhooks::Md5Function previous_ = nullptr;
};

TEST_F(FailingMd5, FactoriesGiveNullAndSuitesAnEmptyText) {
    Break();
    for (const auto& service : kServices) {
        SCOPED_TRACE(service.name);
        EXPECT_EQ(service.createSpec({}), nullptr);
        EXPECT_EQ(service.createSpec(B("k3y5a1t9")), nullptr);
        const Bytes id = B("id");
        EXPECT_EQ(service.makeSuite().EncryptToText(id.data(), id.size()), "");
    }
}

TEST_F(FailingMd5, AnExceptionInsideAFactoryGivesNull) {
    Break(&Throw);
    for (const auto& service : kServices) {
        SCOPED_TRACE(service.name);
        EXPECT_EQ(service.createSpec({}), nullptr);
        EXPECT_EQ(service.createSpec(B("k3y5a1t9")), nullptr);
    }
}

TEST_F(FailingMd5, ANewSaltThatCannotBeHashedGivesAnEmptyText) {
    const Bytes id = B("id");
    CryptSuite suite = MakeKIVCryptSuite();
    ASSERT_FALSE(suite.EncryptToText(id.data(), id.size()).empty());
    Break();
    EXPECT_EQ(suite.EncryptToText(id.data(), id.size()), "");
    Restore();
    EXPECT_FALSE(suite.EncryptToText(id.data(), id.size()).empty());
}

TEST(CryptFactories, CryptKinds) {
    unique_destructible<ICrypt> encoder(CreateCrypt(1));
    unique_destructible<ICrypt> decoder(CreateCrypt(2));
    EXPECT_NE(dynamic_cast<CryptEncoder*>(encoder.get()), nullptr);
    EXPECT_NE(dynamic_cast<CryptDecoder*>(decoder.get()), nullptr);
    for (int kind : {0, 3, -1}) {
        EXPECT_EQ(CreateCrypt(kind), nullptr) << kind;
    }
}

TEST(CryptFactories, ExecuteRejectsBadArguments) {
    unique_destructible<ICrypt> encoder(CreateEncoder());
    const FixedParam good(Sequence(0, 16), Sequence(16, 16));
    const FixedParam noKey(Bytes{}, Sequence(16, 16));
    const FixedParam oddKey(Sequence(0, 5), Sequence(16, 16));
    const FixedParam shortIv(Sequence(0, 16), Sequence(16, 8));
    const unsigned char data[] = {'a', 'b'};
    ASSERT_EQ(encoder->Execute(&good, data, 2), 1);
    struct Case {
        const char* name;
        const ICryptParam* param;
        const unsigned char* data;
        std::size_t length;
    };
    const Case cases[] = {
        {"null param", nullptr, data, 2}, {"null data", &good, nullptr, 2},
        {"no length", &good, data, 0},    {"no key", &noKey, data, 2},
        {"odd key", &oddKey, data, 2},    {"short vector", &shortIv, data, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encoder->Execute(c.param, c.data, c.length), 0) << c.name;
        EXPECT_EQ(encoder->Size(), 0u) << c.name; // nothing left from the earlier run
    }
    // A decoder refuses text that is not whole blocks.
    unique_destructible<ICrypt> decoder(CreateDecoder());
    EXPECT_EQ(decoder->Execute(&good, data, 2), 0);
}

TEST(CryptSpecs, SameSaltSameKeyMaterial) {
    for (const auto& service : kServices) {
        SCOPED_TRACE(service.name);
        unique_destructible<ICryptSpec> one(service.createSpec(B("abcdefgh")));
        unique_destructible<ICryptSpec> two(service.createSpec({}));
        ASSERT_TRUE(one && two);
        EXPECT_EQ(two->Salt().size(), 8u);
        ASSERT_TRUE(two->SetSalt(B("abcdefgh")));
        EXPECT_EQ(two->Salt(), B("abcdefgh"));
        EXPECT_EQ(Hex(one->KeyData(), 16), Hex(two->KeyData(), 16));
        EXPECT_EQ(Hex(one->IvData(), 16), Hex(two->IvData(), 16));
    }
    // An unset spec has no key material to hand out.
    unique_destructible<ICryptSpec> unset(new QELCryptSpec());
    EXPECT_THROW(unset->KeyData(), std::out_of_range);
    EXPECT_THROW(unset->IvData(), std::out_of_range);
}

TEST(Serializer, RejectsMissingPartsAndShortTexts) {
    unique_destructible<ICrypt> encoder(CreateEncoder());
    unique_destructible<ICrypt> decoder(CreateDecoder());
    unique_destructible<ICryptSpec> spec(KIVCryptSpec::Create({}));
    unique_destructible<ICryptProcedure> serializer(KIVCryptDataSerializer::Create());
    const std::string plain = "id";
    const auto* begin = reinterpret_cast<const unsigned char*>(plain.data());
    const auto* end = begin + plain.size();
    EXPECT_TRUE(serializer->Encode(nullptr, spec.get(), begin, end).empty());
    EXPECT_TRUE(serializer->Encode(encoder.get(), nullptr, begin, end).empty());
    EXPECT_TRUE(serializer->Encode(encoder.get(), spec.get(), nullptr, end).empty());
    EXPECT_TRUE(serializer->Decode(decoder.get(), spec.get(), begin, nullptr).empty());

    // Under 8 decoded bytes there is not even a salt; exactly 8 has no ciphertext.
    for (const std::string text : {"", "YWJj", "YWJjZGVmZ2g="}) {
        const auto* t = reinterpret_cast<const unsigned char*>(text.data());
        EXPECT_TRUE(serializer->Decode(decoder.get(), spec.get(), t, t + text.size()).empty())
            << text;
    }
}

} // namespace
