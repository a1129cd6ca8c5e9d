#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypt_test_support.h"
#include "xcrypt/base64.h"

namespace {

using xcrypt::Bytes;
using xcrypt::test::B;

std::string S(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

struct Base64Answer {
    std::string plainHex;
    std::string text;
};

TEST(Base64, EncodesWithPadding) {
    const std::vector<Base64Answer> answers = {
#define XCRYPT_KA_BASE64(...) Base64Answer{__VA_ARGS__},
#include "crypt_known_answers.inc"
    };
    ASSERT_FALSE(answers.empty());
    for (const auto& c : answers) {
        const Bytes plain = xcrypt::test::FromHex(c.plainHex);
        EXPECT_EQ(S(xcrypt::Base64Encode(plain.data(), plain.size())), c.text);
        EXPECT_EQ(xcrypt::Base64Decode(c.text), plain) << c.text;
    }
    EXPECT_TRUE(xcrypt::Base64Encode(nullptr, 3).empty());
}

TEST(Base64, DecodesLeniently) {
    struct Case {
        std::string text;
        Bytes plain;
    };
    const Case cases[] = {
        {"Zm\r\n9v", B("foo")}, // characters outside the alphabet are skipped
        {"Zg==Zm9v", B("f")},   // decoding ends after the group that held padding
        {"Zm9vZg", B("foof")},  // a last incomplete group gives the bytes it covers
        {"Zm9vZ", B("foo")},    // one character covers no whole byte
        {"", Bytes{}},          {"!!!!", Bytes{}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(xcrypt::Base64Decode(c.text), c.plain) << c.text;
    }
}

} // namespace
