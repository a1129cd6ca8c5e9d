#include "requests.h"

#include "qel_crypto.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vtqeldevc {
namespace {

const std::string kHead = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>"
                          "<cmd xmlns:ivec=\"http://www.velto.example/ns/cmd/2008/07/common/\"";
const std::string kVendor = " xmlns:vvt=\"http://www.velto.example/ns/cmd/2008/07/velto/\"";

std::string Golden(const std::string& namespaces_tail, const std::string& operation,
                   const std::string& service, const std::string& children) {
    return kHead + namespaces_tail + "><ivec:contents><ivec:operation>" + operation +
           "</ivec:operation><ivec:param_set servicetype=\"" + service + "\">" + children +
           "</ivec:param_set></ivec:contents></cmd>";
}

using Builder = std::function<int(std::span<char>, std::size_t*)>;

std::string Built(const Builder& build) {
    std::vector<char> buffer(4096);
    std::size_t length = 0;
    EXPECT_EQ(build(buffer, &length), kBuildOk);
    return std::string(buffer.data(), length);
}

struct GoldenCase {
    const char* name;
    Builder build;
    std::string expected;
};

TEST(Requests, DeviceServiceGoldenText) {
    const std::vector<GoldenCase> cases = {
        {"GetCapability", BuildDeviceGetCapability, Golden("", "GetCapability", "device", "")},
        {"GetStatus", BuildDeviceGetStatus, Golden("", "GetStatus", "device", "")},
        {"GetConfiguration", BuildDeviceGetConfiguration,
         Golden("", "GetConfiguration", "device", "")},
        {"StartJob", BuildDeviceStartJob,
         Golden("", "StartJob", "device",
                "<ivec:jobID>00000001</ivec:jobID><ivec:bidi>1</ivec:bidi>")},
        {"SetConfiguration",
         [](auto out, auto len) { return BuildDeviceSetConfiguration("00000042", out, len); },
         Golden(kVendor, "SetConfiguration", "device",
                "<ivec:jobID>00000042</ivec:jobID>"
                "<vvt:webservice_agreement>agree</vvt:webservice_agreement>")},
        {"EndJob", [](auto out, auto len) { return BuildDeviceEndJob("00000042", out, len); },
         Golden("", "EndJob", "device", "<ivec:jobID>00000042</ivec:jobID>")},
        {"VendorCmd without host application id",
         [](auto out, auto len) {
             return BuildDeviceSetConfigurationWithoutStartJob(out, len, false);
         },
         Golden(kVendor, "VendorCmd", "device",
                "<vvt:ijoperation>SetConfigurationWithoutStartJob</vvt:ijoperation>"
                "<vvt:webservice_agreement>agree</vvt:webservice_agreement>")},
        {"VendorCmd with host application id",
         [](auto out, auto len) {
             return BuildDeviceSetConfigurationWithoutStartJob(out, len, true);
         },
         Golden(kVendor, "VendorCmd", "device",
                "<vvt:ijoperation>SetConfigurationWithoutStartJob</vvt:ijoperation>"
                "<vvt:webservice_agreement>agree</vvt:webservice_agreement>"
                "<vvt:host_application_id>3060</vvt:host_application_id>")},
        {"escaped job identifier",
         [](auto out, auto len) { return BuildDeviceEndJob("1<&>2", out, len); },
         Golden("", "EndJob", "device", "<ivec:jobID>1&lt;&amp;&gt;2</ivec:jobID>")},
        {"empty job identifier", [](auto out, auto len) { return BuildDeviceEndJob("", out, len); },
         Golden("", "EndJob", "device", "<ivec:jobID></ivec:jobID>")},
        {"qel GetCapability", BuildQelGetCapability, Golden("", "GetCapability", "qel", "")},
        {"qel GetStatus", BuildQelGetStatus, Golden("", "GetStatus", "qel", "")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Built(c.build), c.expected) << c.name;
    }
}

// Job descriptions handed out in turn, so the golden text is known.
QelCommandBuilder::JobDescriptionSource Sequence(std::vector<std::string> descriptions) {
    auto next = std::make_shared<std::size_t>(0);
    return [descriptions, next]() -> std::optional<std::string> {
        if (*next >= descriptions.size()) {
            return std::nullopt;
        }
        return descriptions[(*next)++];
    };
}

TEST(Requests, QelJobGoldenText) {
    QelCommandBuilder builder(Sequence({"job-1", "job-2"}));
    using namespace std::placeholders;
    EXPECT_EQ(Built([&](auto out, auto len) { return builder.BuildQelStartJob(out, len); }),
              Golden(kVendor, "StartJob", "qel",
                     "<ivec:bidi>1</ivec:bidi>"
                     "<ivec:job_description><![CDATA[job-1]]></ivec:job_description>"
                     "<vvt:ijdatakey3>9e41c07b2d58a3f6e0b1947c5d2a86fe</vvt:ijdatakey3>"));
    EXPECT_EQ(Built([&](auto out, auto len) { return builder.BuildQelStartJob(out, len); }),
              Golden(kVendor, "StartJob", "qel",
                     "<ivec:bidi>1</ivec:bidi>"
                     "<ivec:job_description><![CDATA[job-2]]></ivec:job_description>"
                     "<vvt:ijdatakey3>9e41c07b2d58a3f6e0b1947c5d2a86fe</vvt:ijdatakey3>"));
    EXPECT_EQ(builder.job_description(), "job-2");

    const PairList challenge = {{"ivec:response", "NG"},
                                {"ivec:response_detail", ""},
                                {"ivec:job_description", "job-2"},
                                {"vvt:ijdatakey4", "00"}};
    std::string answer;
    ASSERT_EQ(crypto::ComputeChallengeAnswer("a45e60c1229b", "00", "job-2", answer), 0);
    EXPECT_EQ(Built([&](auto out, auto len) {
                  return builder.BuildQelStartJobAuth(challenge, "A4:5E:60:C1:22:9B", out, len);
              }),
              Golden(kVendor, "StartJob", "qel",
                     "<ivec:bidi>1</ivec:bidi>"
                     "<ivec:job_description><![CDATA[job-2]]></ivec:job_description>"
                     "<vvt:ijdatakey1>ADMIN</vvt:ijdatakey1><vvt:ijdatakey2>" +
                         answer + "</vvt:ijdatakey2>"));
    EXPECT_EQ(Built([&](auto out, auto len) {
                  return builder.BuildQelReceiveData("00000042", "get_id", "80", "ab12", out, len);
              }),
              Golden(kVendor, "ReceiveData", "qel",
                     "<ivec:jobID>00000042</ivec:jobID>"
                     "<ivec:job_description><![CDATA[job-2]]></ivec:job_description>"
                     "<ivec:format>get_id</ivec:format><ivec:datasize>80</ivec:datasize>"
                     "<vvt:ijdatakey6>ab12</vvt:ijdatakey6><ivec:continue>OFF</ivec:continue>"));
    EXPECT_EQ(
        Built([&](auto out, auto len) { return builder.BuildQelEndJob("00000042", out, len); }),
        Golden("", "EndJob", "qel",
               "<ivec:jobID>00000042</ivec:jobID>"
               "<ivec:job_description><![CDATA[job-2]]></ivec:job_description>"));
}

TEST(Requests, Failures) {
    std::vector<char> buffer(4096);
    std::size_t length = 0;
    EXPECT_EQ(BuildDeviceGetCapability({}, &length), kBuildNullArgument);
    EXPECT_EQ(BuildDeviceGetCapability(buffer, nullptr), kBuildNullArgument);
    EXPECT_EQ(BuildDeviceEndJob(std::string(5000, '1'), buffer, &length), kBuildFailed);

    QelCommandBuilder no_uuid(Sequence({}));
    EXPECT_EQ(no_uuid.BuildQelStartJob(buffer, &length), kBuildFailed);

    QelCommandBuilder builder(Sequence({"job"}));
    ASSERT_EQ(builder.BuildQelStartJob(buffer, &length), kBuildOk);
    // No challenge answer without a proper challenge: no authenticated StartJob is built.
    for (const char* challenge : {"", "0", "0A", "zz", "0g"}) {
        const PairList reply = {{"ivec:job_description", "job"}, {"vvt:ijdatakey4", challenge}};
        EXPECT_EQ(builder.BuildQelStartJobAuth(reply, "00:11:22:33:44:55", buffer, &length),
                  kBuildFailed)
            << challenge;
    }
    EXPECT_EQ(builder.BuildQelStartJobAuth({{"vvt:ijdatakey4", "00"}}, "00:11", buffer, &length),
              kBuildFailed);
}

TEST(Requests, UuidJobDescriptions) {
    QelCommandBuilder builder;
    std::vector<char> buffer(4096);
    std::size_t length = 0;
    ASSERT_EQ(builder.BuildQelStartJob(buffer, &length), kBuildOk);
    const std::string first = builder.job_description();
    ASSERT_EQ(builder.BuildQelStartJob(buffer, &length), kBuildOk);
    const std::string second = builder.job_description();
    EXPECT_NE(first, second);
    ASSERT_EQ(second.size(), 36u);
    for (std::size_t i = 0; i < second.size(); ++i) {
        const char c = second[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            EXPECT_EQ(c, '-');
        } else {
            EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')) << second;
        }
    }
    EXPECT_NE(std::string(buffer.data(), length).find("<![CDATA[" + second + "]]>"),
              std::string::npos);
}

TEST(Requests, ReceiveDataFraming) {
    std::vector<char> buffer(4096, '\0');
    const std::string xml = "<?xml ?><cmd/>";
    std::copy(xml.begin(), xml.end(), buffer.begin());
    const std::vector<std::uint8_t> payload = {0x00, 0x01, 0xfe};
    std::size_t total = 0;
    ASSERT_EQ(AppendReceiveDataPayload(buffer, xml.size(), payload, &total), kBuildOk);
    EXPECT_EQ(total, xml.size() + 3);
    EXPECT_EQ(static_cast<std::uint8_t>(buffer[xml.size() + 2]), 0xfe);

    // Request and payload together must fit; nothing is written when they do not.
    const std::vector<std::uint8_t> big(4096 - xml.size() + 1, 0x55);
    std::vector<char> before = buffer;
    EXPECT_EQ(AppendReceiveDataPayload(buffer, xml.size(), big, &total), kBuildFailed);
    EXPECT_EQ(buffer, before);
    const std::vector<std::uint8_t> exact(4096 - xml.size(), 0x55);
    EXPECT_EQ(AppendReceiveDataPayload(buffer, xml.size(), exact, &total), kBuildOk);
    EXPECT_EQ(total, 4096u);
    EXPECT_EQ(AppendReceiveDataPayload(buffer, xml.size(), payload, nullptr), kBuildNullArgument);
}

} // namespace
} // namespace vtqeldevc
