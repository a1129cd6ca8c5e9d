// Seeded random damage to real-shaped replies: the readers must neither crash nor read a byte
// beyond what was received (the bytes sit right before an inaccessible page).
#include "guarded_buffer.h"

#include "command_xml.h"
#include "namespace_table.h"
#include "qel_crypto.h"
#include "replies.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vtqeldevc {
namespace {

constexpr char kKeyText[] = "00:11:22:33:44:55";
constexpr char kKey7[] = "0000000400000003";

// The job that the ReceiveData seed belongs to, with a true vvt:ijdatakey8, so that damaged
// payloads reach the cipher.
PairList Job() {
    std::string key8;
    EXPECT_EQ(crypto::ComputeResponseDigest("job-1", "1", kKey7, key8), 0);
    return {{"ivec:jobID", "1"},
            {"ivec:job_description", "job-1"},
            {"vvt:ijdatakey7", kKey7},
            {"vvt:ijdatakey8", key8}};
}

std::string Payload() {
    crypto::Bytes ciphered;
    std::string digest;
    EXPECT_EQ(crypto::EncryptRequestPayload(
                  "<application_data><register_id>R1</register_id></application_data>", kKeyText,
                  kKey7, &ciphered, &digest),
              0);
    return std::string(ciphered.begin(), ciphered.end());
}

std::vector<std::string> Seeds() {
    const std::string head = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><cmd xmlns:ivec=\"" +
                             NamespaceUri(kCommonNamespaceRow) + "\" xmlns:vvt=\"" +
                             NamespaceUri(kVendorNamespaceRow) + "\"><ivec:contents>";
    const std::string tail = "</ivec:contents></cmd>";
    const std::string payload = Payload();
    auto reply = [&](const std::string& op, const std::string& service, const std::string& body) {
        return head + "<ivec:operation>" + op + "Response</ivec:operation>" +
               "<ivec:param_set servicetype=\"" + service + "\"><ivec:response>OK</ivec:response>" +
               "<ivec:response_detail></ivec:response_detail>" + body + "</ivec:param_set>" + tail;
    };
    return {
        reply("GetCapability", "device",
              "<ivec:model>X-100</ivec:model><ivec:service>print,qel</ivec:service>"
              "<!-- note > here --><vvt:SetConfigurationWithoutStartJob><vvt:webservice_agreement>"
              "agree</vvt:webservice_agreement></vvt:SetConfigurationWithoutStartJob>"),
        reply("GetStatus", "device",
              "<ivec:network_interface><ivec:interface_set "
              "id=\"wireless0\"><vvt:communication_method>"
              "<vvt:item>infrastructure_mode</vvt:item></vvt:communication_method><ivec:ip>"
              "<ivec:hwaddress>00:11:22:33:44:55</ivec:hwaddress></ivec:ip></ivec:interface_set>"
              "</ivec:network_interface>"),
        reply("StartJob", "qel",
              "<ivec:jobID>00000042</ivec:jobID><ivec:job_description><![CDATA[job-1]]>"
              "</ivec:job_description><vvt:ijdatakey7>0000000400000003</vvt:ijdatakey7>"),
        reply("ReceiveData", "qel",
              "<ivec:jobID>1</ivec:jobID><ivec:datasize>" + std::to_string(payload.size()) +
                  "</ivec:datasize>") +
            payload,
    };
}

std::string Mutate(std::string text, std::mt19937& random) {
    static const std::string kPieces[] = {"<",    ">",   "/",      "\"",        "'",     "=",
                                          "<!--", "-->", "]]>",    "<![CDATA[", "\0",    " ",
                                          "&",    "<?",  "xmlns:", ":",         "</cmd>"};
    std::uniform_int_distribution<int> kind(0, 5);
    const int rounds = 1 + static_cast<int>(random() % 4);
    for (int r = 0; r < rounds && !text.empty(); ++r) {
        const std::size_t at = random() % text.size();
        switch (kind(random)) {
        case 0:
            text.erase(at, 1 + random() % 16);
            break;
        case 1: {
            const auto& piece = kPieces[random() % std::size(kPieces)];
            text.insert(at, piece.empty() ? std::string(1, '\0') : piece);
            break;
        }
        case 2:
            text[at] = static_cast<char>(random() % 256);
            break;
        case 3:
            text.resize(at);
            break;
        case 4: {
            const std::size_t length = random() % 32;
            text.insert(at, text.substr(random() % text.size(), length));
            break;
        }
        default:
            text[at] = "<>/\"= \0"[random() % 7];
        }
    }
    return text;
}

TEST(XmlMutation, DamagedRepliesNeverCrashOrOverRead) {
    std::mt19937 random(20261209);
    GuardedBuffer guard(70000);
    const auto seeds = Seeds();
    const std::vector<std::string> paths = {
        "cmd/ivec:contents/ivec:operation", "cmd/ivec:contents/ivec:param_set servicetype",
        "cmd/ivec:contents/ivec:param_set servicetype=\"qel\"/ivec:jobID",
        "cmd/ivec:contents/ivec:param_set servicetype=\"device\"/ivec:model"};
    const PairList job = Job();
    int read_ok = 0;
    int decrypted = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::string damaged = Mutate(seeds[i % seeds.size()], random);
        const auto received = guard.Place(damaged);
        const std::string_view text(received.data(), received.size());

        std::vector<std::string> values;
        std::size_t root_end = 0;
        if (ReadResponseValues(text, paths, &values, &root_end) == 0) {
            ++read_ok;
            ASSERT_EQ(values.size(), paths.size());
            for (const auto& value : values) {
                ASSERT_LE(value.size(), damaged.size());
            }
            ASSERT_LE(root_end, damaged.size());
        }
        std::string operation;
        std::string service;
        GetResponseOperation(text, &operation, &service);
        std::string model;
        ParseModel(received, &model);
        std::string address;
        ParseNetworkInterfaces(received, true, &address);
        PairList pairs;
        ParseQelStartJobAuthResponse(received, &pairs);
        std::string plain;
        PairList data_pairs;
        if (ParseQelReceiveDataResponse(received, kKeyText, job, &data_pairs, &plain) == 0) {
            ++decrypted;
        }
    }
    // The damage must leave a fair share readable, or the run tests nothing but the refusals.
    EXPECT_GT(read_ok, 200);
    EXPECT_GT(decrypted, 0);
}

TEST(XmlMutation, FullReplyWithoutNulIsReadWithinItsBytes) {
    GuardedBuffer guard(65536);
    std::string reply = Seeds()[0];
    reply += std::string(65536 - reply.size(), ' ');
    const auto received = guard.Place(reply);
    std::string model;
    EXPECT_EQ(ParseModel(received, &model), 0);
    EXPECT_EQ(model, "X-100");

    std::string open = reply.substr(0, reply.find("</ivec:contents>"));
    open += std::string(65536 - open.size(), 'x'); // text that never ends
    EXPECT_EQ(ParseModel(guard.Place(open), &model), 1);
}

} // namespace
} // namespace vtqeldevc
