#include <gtest/gtest.h>

#include <string>

#include "xcrypt/base64.h"

namespace {

using xcrypt::Bytes;

Bytes B(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::string S(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Expected texts: /usr/bin/python3 tests/crypt_reference.py (base64 lines).
TEST(Base64, EncodesWithPadding) {
    struct Case {
        Bytes plain;
        std::string text;
    };
    const Case cases[] = {
        {B("f"), "Zg=="},
        {B("fo"), "Zm8="},
        {B("foo"), "Zm9v"},
        {Bytes{0x00, 0xFF, 0xFE, 0x3E, 0x3F}, "AP/+Pj8="},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(S(xcrypt::Base64Encode(c.plain.data(), c.plain.size())), c.text);
        EXPECT_EQ(xcrypt::Base64Decode(c.text), c.plain) << c.text;
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
