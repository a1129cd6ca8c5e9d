// Known answers from known_answers.py (hashlib and python3-cryptography).
#include "printersim/printer_crypto.h"

#include "test_tables.h"

#include <gtest/gtest.h>

namespace printersim::crypto {
namespace {

using printersim::testing::test_tables;

constexpr std::string_view kAddress = "00:1B:A9:3C:00:01";
constexpr std::string_view kChallenge = "0123456789abcdef0123456789abcdef";
constexpr std::string_view kJob = "6f1c2a4e-1111-4222-8333-944455556666";

Bytes bytes_of(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

TEST(PrinterCrypto, KnownAnswers) {
    struct Case {
        const char* what;
        std::optional<std::string> actual;
        const char* expected;
    };
    const Case cases[] = {
        {"challenge answer", challenge_answer(test_tables(), kAddress, kChallenge, kJob),
         "3dead850511c6efc5fb954921e333d08cd58212ccdde006f1fae21b40cd48493"},
        {"same answer without separators, in upper case",
         challenge_answer(test_tables(), "001BA93C0001", kChallenge, kJob),
         "3dead850511c6efc5fb954921e333d08cd58212ccdde006f1fae21b40cd48493"},
        {"job digest", job_digest(kJob, "00000042", "0000000400000003"),
         "1b731edf8c64194c4458b0d1e14b271786aeb3476ac1d1b7ff07577e72d16eca"},
        {"payload digest of a sum of 258", payload_digest(Bytes{1, 1, 0xFF, 1}),
         "a6d7fcc962ab25f63778ab1c1b14472bcba67ce756beda32bff5babfc9f16296"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.actual.has_value()) << c.what;
        EXPECT_EQ(*c.actual, c.expected) << c.what;
    }
}

TEST(PrinterCrypto, CipherKeyAndCiphertextMatchTheReference) {
    const auto key = cipher_key(test_tables(), kAddress, 3);
    ASSERT_TRUE(key);
    EXPECT_EQ(hex_lower(Bytes(key->key.begin(), key->key.end())),
              "3831d140770107dac0b32538fa96a716");
    EXPECT_EQ(hex_lower(Bytes(key->iv.begin(), key->iv.end())), "0c192633404d5a6774818e9ba8b5c2cf");

    const std::string plain =
        "<application_data><format_version>1.00</format_version></application_data>";
    ASSERT_EQ(plain.size(), 74u);
    const auto ct = cipher_payload(test_tables(), true, kAddress, kModeAes, 3, bytes_of(plain));
    ASSERT_TRUE(ct);
    EXPECT_EQ(ct->size(), 80u);
    EXPECT_EQ(hex_lower(*ct), "81b5458f2107eab3562ddd75fc0b7b4b90d2a16ddcc1a75805d2e93eb3d61a35"
                              "acb479dd9faa52512852b2bd0e7fc6cd53f6611bcb9e3be56f7df4c4afa0a16b"
                              "367f5a68f36cf0308db3753e88592911");
    const auto back = cipher_payload(test_tables(), false, kAddress, kModeAes, 3, *ct);
    ASSERT_TRUE(back);
    EXPECT_EQ(std::string(back->begin(), back->end()), plain);
}

TEST(PrinterCrypto, RefusesWhatCannotBeCiphered) {
    const auto data = bytes_of("0123456789abcdef");
    struct Case {
        const char* what;
        bool encrypt;
        std::uint32_t mode;
        std::uint32_t selector;
        Bytes input;
        bool ok;
    };
    const Case cases[] = {
        {"mode 0 copies", true, kModePlain, 3, data, true},
        {"mode 5 is refused", true, 5, 3, data, false},
        {"selector 16 is refused", true, kModeAes, 16, data, false},
        {"empty ciphertext is refused", false, kModeAes, 3, Bytes{}, false},
        {"ciphertext of 15 bytes is refused", false, kModeAes, 3, Bytes(15, 1), false},
        {"ciphertext of 17 bytes is refused", false, kModeAes, 3, Bytes(17, 1), false},
    };
    for (const auto& c : cases) {
        const auto out =
            cipher_payload(test_tables(), c.encrypt, kAddress, c.mode, c.selector, c.input);
        EXPECT_EQ(out.has_value(), c.ok) << c.what;
        if (c.ok && c.mode == kModePlain) {
            EXPECT_EQ(*out, c.input) << c.what;
        }
    }
}

TEST(PrinterCrypto, KeyTexts) {
    EXPECT_EQ(challenge_key_text("00:1B:a9:3C"), "001ba93c");
    EXPECT_EQ(cipher_key_text("00-1B:a9 3C"), "001ba93c");
    EXPECT_EQ(cipher_key_text("mac=AbC:1"), "AbC:1");
    EXPECT_EQ(challenge_key_text("00-1B"), "00-1b");
}

TEST(PrinterCrypto, HexPairsStopAtTheEnd) {
    EXPECT_EQ(hex_pairs("0aF"), (Bytes{0x0A}));
    EXPECT_FALSE(hex_pairs("0g"));
    EXPECT_EQ(hex_pairs(std::string(200, 'a'))->size(), 64u);
}

} // namespace
} // namespace printersim::crypto

namespace printersim::crypto {
namespace {

// Pins how the simulator reads the shared protocol values file; when its values change,
// `known_answers.py --shared` gives the new answers.
TEST(PrinterCrypto, SharedTablesKnownAnswers) {
    EXPECT_EQ(challenge_answer(shared_tables(), kAddress, kChallenge, kJob),
              "5ba7d889dc9a4bbf73253dea31d6246a7491ed2a830dd53dfa648f80e594f43c");
    const std::string plain =
        "<application_data><format_version>1.00</format_version></application_data>";
    const auto ct = cipher_payload(shared_tables(), true, kAddress, kModeAes, 3, bytes_of(plain));
    ASSERT_TRUE(ct);
    EXPECT_EQ(hex_lower(*ct), "ea7079434abf26d828e0aae9290952414b29becaa776fdceb8a030a047553f95"
                              "425f4d44d08ce4b771c91aa7ab45214b3cbf966f92e38f3c86b287cc30d68e99"
                              "0b755cc6286a254311d6f671961da09a");
    EXPECT_EQ(common_namespace(shared_tables()),
              std::string(shared_tables().namespace_host) + "/ns/cmd/2008/07/common/");
}

} // namespace
} // namespace printersim::crypto
