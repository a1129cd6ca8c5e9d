#include "qel_crypto.h"

#include "protocol_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtqeldevc::crypto {
namespace {

struct RoundsAnswer {
    std::size_t variant;
    const char* input;
    const char* second;
    const char* texts; // joined with "|"
    const char* output;
};
struct ChallengeAnswer {
    const char* key_text;
    const char* challenge;
    const char* job_description;
    const char* answer;
};
struct CipherAnswer {
    const char* key_text;
    std::uint32_t mode;
    std::uint32_t selector;
    const char* plain;
    const char* cipher_hex;
    const char* digest;
};
struct ResponseDigestAnswer {
    const char* job_description;
    const char* job_id;
    const char* key7;
    const char* digest;
};
struct BlockDigestAnswer {
    std::uint32_t value;
    const char* digest;
};

#define QEL_KA_ROUNDS(...) RoundsAnswer{__VA_ARGS__},
const std::vector<RoundsAnswer> kRounds = {
#include "known_answers.inc"
};

#define QEL_KA_CHALLENGE(...) ChallengeAnswer{__VA_ARGS__},
const std::vector<ChallengeAnswer> kChallenges = {
#include "known_answers.inc"
};

#define QEL_KA_CIPHER(...) CipherAnswer{__VA_ARGS__},
const std::vector<CipherAnswer> kCiphers = {
#include "known_answers.inc"
};

#define QEL_KA_RESPONSE_DIGEST(...) ResponseDigestAnswer{__VA_ARGS__},
const std::vector<ResponseDigestAnswer> kResponseDigests = {
#include "known_answers.inc"
};

#define QEL_KA_BLOCK_DIGEST(...) BlockDigestAnswer{__VA_ARGS__},
const std::vector<BlockDigestAnswer> kBlockDigests = {
#include "known_answers.inc"
};

std::vector<std::string> SplitTexts(std::string_view joined) {
    std::vector<std::string> texts;
    if (joined.empty()) {
        return texts;
    }
    std::size_t from = 0;
    while (true) {
        const std::size_t bar = joined.find('|', from);
        texts.emplace_back(joined.substr(from, bar - from));
        if (bar == std::string_view::npos) {
            return texts;
        }
        from = bar + 1;
    }
}

TEST(QelCrypto, TablesAreTheSharedOnes) {
    EXPECT_FALSE(kRounds.empty());
    EXPECT_FALSE(kChallenges.empty());
    EXPECT_FALSE(kCiphers.empty());
    EXPECT_EQ(tables::kNamespaceHost, "http://www.velto.example");
}

TEST(QelCrypto, DeriveRoundsKnownAnswers) {
    for (const auto& a : kRounds) {
        const auto texts = SplitTexts(a.texts);
        std::vector<std::string_view> views(texts.begin(), texts.end());
        std::string output;
        ASSERT_EQ(DeriveRounds(a.variant, a.input, a.second, views, output), kOk);
        EXPECT_EQ(output, a.output) << a.variant;
    }
    std::string output;
    EXPECT_NE(DeriveRounds(16, std::string(64, '0'), {}, {}, output), kOk);
    // The selector byte lies beyond a block that is too short: refused, not read.
    EXPECT_EQ(DeriveRounds(0, "00", {}, {}, output), kBadBuffer);
}

TEST(QelCrypto, ChallengeAnswerKnownAnswers) {
    for (const auto& a : kChallenges) {
        const PairList reply = {{"ivec:response", "NG"},
                                {"ivec:job_description", a.job_description},
                                {"vvt:ijdatakey4", a.challenge}};
        PairList pairs = {{"kept", "1"}};
        ASSERT_EQ(MakeChallengeAnswerPairs(reply, a.key_text, &pairs), 0) << a.key_text;
        ASSERT_EQ(pairs.size(), 3u);
        EXPECT_EQ(pairs[1].name, "vvt:ijdatakey1");
        EXPECT_EQ(pairs[1].value, "ADMIN");
        EXPECT_EQ(pairs[2].name, "vvt:ijdatakey2");
        EXPECT_EQ(pairs[2].value, a.answer) << a.key_text;
    }
}

TEST(QelCrypto, HardwareAddressSpellingsGiveTheSameAnswer) {
    const PairList reply = {{"ivec:job_description", "job"}, {"vvt:ijdatakey4", "00"}};
    std::string expected;
    for (const char* key : {"a4:5e:60:c1:22:9b", "A4:5E:60:C1:22:9B", "a45e60C1229B"}) {
        PairList pairs;
        ASSERT_EQ(MakeChallengeAnswerPairs(reply, key, &pairs), 0);
        if (expected.empty()) {
            expected = pairs[1].value;
        }
        EXPECT_EQ(pairs[1].value, expected) << key;
    }
}

TEST(QelCrypto, ChallengeRefusals) {
    struct Case {
        PairList reply;
        int result;
    };
    const std::vector<Case> cases = {
        {{{"vvt:ijdatakey4", "00"}}, kMissingPair},
        {{{"ivec:job_description", "j"}}, kMissingPair},
        {{{"ivec:job_description", "j"}, {"vvt:ijdatakey4", ""}}, kRefused},
        {{{"ivec:job_description", "j"}, {"vvt:ijdatakey4", "0a1"}}, kRefused},
        {{{"ivec:job_description", "j"}, {"vvt:ijdatakey4", "0A"}}, kRefused},
        {{{"ivec:job_description", "j"}, {"vvt:ijdatakey4", "0x"}}, kRefused},
        {{{"ivec:job_description", "j"}, {"vvt:ijdatakey4", "0 "}}, kRefused},
    };
    for (const auto& c : cases) {
        PairList answer;
        EXPECT_EQ(MakeChallengeAnswer("001122", c.reply, answer), c.result);
        EXPECT_TRUE(answer.empty());
        PairList pairs;
        EXPECT_EQ(MakeChallengeAnswerPairs(c.reply, "00:11:22", &pairs), -1);
        EXPECT_TRUE(pairs.empty());
    }
    EXPECT_EQ(MakeChallengeAnswerPairs({}, "00", nullptr), -2);
}

TEST(QelCrypto, CipherKnownAnswers) {
    for (const auto& a : kCiphers) {
        const std::string key7 = (a.mode == 4 ? "00000004" : "00000000") + std::string(7, '0') +
                                 "0123456789abcdef"[a.selector];
        Bytes ciphered;
        std::string digest;
        ASSERT_EQ(EncryptRequestPayload(a.plain, a.key_text, key7, &ciphered, &digest), kOk)
            << a.key_text;
        EXPECT_EQ(BytesToHexLower(ciphered), a.cipher_hex) << a.key_text << " " << a.selector;
        EXPECT_EQ(digest, a.digest);

        Bytes plain;
        ASSERT_EQ(AesCryptWithDerivedKey(ciphered, CipherKeyText(a.key_text), a.mode, a.selector,
                                         plain, false),
                  kOk);
        EXPECT_EQ(std::string(plain.begin(), plain.end()), a.plain);
    }
}

TEST(QelCrypto, PaddingGrowsA74ByteTextTo80) {
    const std::string plain(74, 'x');
    Bytes ciphered;
    std::string digest;
    ASSERT_EQ(
        EncryptRequestPayload(plain, "00:11:22:33:44:55", "0000000400000000", &ciphered, &digest),
        kOk);
    EXPECT_EQ(ciphered.size(), 80u);
}

TEST(QelCrypto, KeyFieldRefusals) {
    Bytes ciphered;
    std::string digest;
    // A key field that does not split never lets the data go out unciphered.
    for (const char* key7 : {"", "00000004", "0000000400000003x", "000000040000000g"}) {
        EXPECT_EQ(EncryptRequestPayload("secret", "00:11", key7, &ciphered, &digest),
                  kPayloadFailed)
            << key7;
        EXPECT_TRUE(ciphered.empty());
    }
    // Other modes and selectors beyond the table fail the exchange.
    EXPECT_EQ(EncryptRequestPayload("secret", "00:11", "0000000500000000", &ciphered, &digest),
              kPayloadFailed);
    EXPECT_EQ(EncryptRequestPayload("secret", "00:11", "0000000400000010", &ciphered, &digest),
              kPayloadFailed);
    Bytes out;
    EXPECT_EQ(AesCryptWithDerivedKey(AsBytes("x"), "k", 4, 16, out, true), kUnsupported);
    EXPECT_EQ(AesCryptWithDerivedKey(AsBytes("x"), "k", 5, 0, out, true), kUnsupported);
    // Mode 0 copies in both directions.
    ASSERT_EQ(EncryptRequestPayload("plain", "00:11", "0000000000000007", &ciphered, &digest), kOk);
    EXPECT_EQ(std::string(ciphered.begin(), ciphered.end()), "plain");
}

TEST(QelCrypto, CiphertextRefusedBeforeCryptoApi) {
    const std::vector<std::uint8_t> key(32, 1);
    const std::array<std::uint8_t, 16> iv{};
    Bytes out;
    DWORD error = 0;
    for (std::size_t size : {0u, 1u, 15u, 17u}) {
        const std::vector<std::uint8_t> data(size, 7);
        EXPECT_EQ(AesCbcCrypt(false, data, kModeAes128Cbc, key, iv, out, error), kBadBuffer)
            << size;
    }
    EXPECT_EQ(AesCbcCrypt(true, AsBytes("x"), kModeAes128Cbc, std::vector<std::uint8_t>(15, 1), iv,
                          out, error),
              kBadBuffer);
}

TEST(QelCrypto, Digests) {
    for (const auto& a : kResponseDigests) {
        std::string digest;
        ASSERT_EQ(ComputeResponseDigest(a.job_description, a.job_id, a.key7, digest), kOk);
        EXPECT_EQ(digest, a.digest);
    }
    for (const auto& a : kBlockDigests) {
        std::string digest;
        ASSERT_EQ(ComputeBlockDigest(a.value, digest), kOk);
        EXPECT_EQ(digest, a.digest) << a.value;
    }
    EXPECT_EQ(ByteSum(std::vector<std::uint8_t>{0xff, 0x03}), 258u);
    EXPECT_EQ(ByteSum({}), 0u);

    Digest digest{};
    DWORD error = 0;
    ASSERT_EQ(Sha256Digest(AsBytes("abc"), digest, error), kOk);
    EXPECT_EQ(BytesToHexLower(digest),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(QelCrypto, KeyTexts) {
    EXPECT_EQ(ChallengeKeyText("A4:5E:60:c1"), "a45e60c1");
    EXPECT_EQ(CipherKeyText("A4:5E:60:c1"), "a45e60c1");
    EXPECT_EQ(CipherKeyText("mac=A4:5E=x"), "A4:5E=x");
}

TEST(QelCrypto, VerifyAndDecryptResults) {
    const std::string key_text = "00:11:22:33:44:55";
    const std::string key7 = "0000000400000002";
    std::string key8;
    ASSERT_EQ(ComputeResponseDigest("j", "1", key7, key8), kOk);
    const PairList job = {{"ivec:jobID", "1"},
                          {"ivec:job_description", "j"},
                          {"vvt:ijdatakey7", key7},
                          {"vvt:ijdatakey8", key8}};
    Bytes ciphered;
    std::string digest;
    ASSERT_EQ(EncryptRequestPayload("hello", key_text, key7, &ciphered, &digest), kOk);

    std::vector<char> small(5);
    std::size_t needed = 0;
    EXPECT_EQ(VerifyAndDecryptResponse(ciphered, key_text, job, small, needed), kOutputTooSmall);
    EXPECT_EQ(needed, 6u);
    std::vector<char> room(6);
    ASSERT_EQ(VerifyAndDecryptResponse(ciphered, key_text, job, room, needed), kOk);
    EXPECT_EQ(std::string(room.data()), "hello");

    auto short_key = job;
    short_key[2].value = "000000040000000";
    EXPECT_EQ(VerifyAndDecryptResponse(ciphered, key_text, short_key, room, needed), kRefused);
    EXPECT_EQ(VerifyAndDecryptResponse(ciphered, key_text, {job[0], job[1], job[2]}, room, needed),
              kMissingPair);
    EXPECT_EQ(DecryptResponsePayload(key_text, job, ciphered, {}), -2);
}

} // namespace
} // namespace vtqeldevc::crypto
