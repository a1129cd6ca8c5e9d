#include "replies.h"

#include "namespace_table.h"
#include "qel_crypto.h"
#include "requests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtqeldevc {
namespace {

std::string Doc(const std::string& operation, const std::string& service,
                const std::string& response, const std::string& detail,
                const std::string& children) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><cmd xmlns:ivec=\"" +
           NamespaceUri(kCommonNamespaceRow) + "\" xmlns:vvt=\"" +
           NamespaceUri(kVendorNamespaceRow) + "\"><ivec:contents><ivec:operation>" + operation +
           "Response</ivec:operation><ivec:param_set servicetype=\"" + service +
           "\"><ivec:response>" + response + "</ivec:response><ivec:response_detail>" + detail +
           "</ivec:response_detail>" + children + "</ivec:param_set></ivec:contents></cmd>";
}

std::string Device(const std::string& response, const std::string& detail,
                   const std::string& children = "") {
    return Doc("GetCapability", "device", response, detail, children);
}

std::string Qel(const std::string& response, const std::string& detail,
                const std::string& children = "") {
    return Doc("StartJob", "qel", response, detail, children);
}

Reply R(const std::string& text) {
    return {text.data(), text.size()};
}

TEST(Replies, ResponseDetailCodes) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"ParameterError", 2},
        {"NotSupportService", 4},
        {"NotSupportOperation", 4},
        {"DeviceUseOtherJob", 6},
        {"NotStart", 7},
        {"IllegalJobID", 8},
        {"IllegalOperation", 9},
        {"AuthenticationError", 10},
        {"AuthenticationSettingRequired", 11},
        {"Suspended", 12},
        {"Initializing", 13},
        {"ShuttingDown", 14},
        {"NotConnectServer", 15},
        {"NotConnectInternet", 16},
        {"ConnectTimeout", 17},
        {"OtherConnectError", 18},
        {"PrinterIDError", 19},
        {"", 1},
        {"parametererror", 1},
        {"ParameterError ", 1},
        {"Unknown", 1},
    };
    for (const auto& [detail, code] : cases) {
        EXPECT_EQ(ResponseDetailToCode(detail), code) << detail;
    }
}

TEST(Replies, DeviceCapabilityTexts) {
    struct Case {
        const char* name;
        std::string reply;
        int result;
        std::string model; // "kept" when the output stays as it was
        std::string serial;
        std::string pdr;
    };
    const std::string children = "<ivec:model>X-100</ivec:model>"
                                 "<ivec:product_serialnumber>SN1</ivec:product_serialnumber>"
                                 "<vvt:pdr>4</vvt:pdr>";
    const std::vector<Case> cases = {
        {"OK", Device("OK", "", children), 0, "X-100", "SN1", "4"},
        {"NG with detail writes the output", Device("NG", "Suspended", children), 12, "X-100",
         "SN1", "4"},
        {"empty response keeps the output, pdr cleared", Device("", "", children), 1, "kept",
         "kept", ""},
        {"unread reply", "<cmd/>", 1, "kept", "kept", ""},
    };
    for (const auto& c : cases) {
        std::string model = "kept";
        std::string serial = "kept";
        std::string pdr = "kept";
        EXPECT_EQ(ParseModel(R(c.reply), &model), c.result) << c.name;
        EXPECT_EQ(ParseProductSerialNumber(R(c.reply), &serial), c.result) << c.name;
        EXPECT_EQ(ParsePdr(R(c.reply), &pdr), c.result) << c.name;
        EXPECT_EQ(model, c.model) << c.name;
        EXPECT_EQ(serial, c.serial) << c.name;
        EXPECT_EQ(pdr, c.pdr) << c.name;
    }
    EXPECT_EQ(ParseModel(R(Device("OK", "")), nullptr), 2);
}

TEST(Replies, DeviceCapabilityFlags) {
    struct Case {
        const char* name;
        std::string reply;
        bool qel;
        bool agreement;
        bool host_id;
    };
    const std::string vendor_cmd =
        "<vvt:SetConfigurationWithoutStartJob><vvt:webservice_agreement>agree,disagree"
        "</vvt:webservice_agreement><vvt:host_application_id>0000-9999</vvt:host_application_id>"
        "</vvt:SetConfigurationWithoutStartJob>";
    const std::vector<Case> cases = {
        {"qel among other services",
         Device("OK", "", "<ivec:service>print,qel,scan</ivec:service>"), true, false, false},
        {"any text holding qel", Device("OK", "", "<ivec:service>xqelx</ivec:service>"), true,
         false, false},
        {"no qel", Device("OK", "", "<ivec:service>print</ivec:service>"), false, false, false},
        {"NG", Device("NG", "", "<ivec:service>qel</ivec:service>" + vendor_cmd), false, false,
         false},
        {"vendor command values", Device("OK", "", vendor_cmd), false, true, true},
        {"not well formed", "<?xml x?><cmd><a></b></cmd>", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDeviceCapability(R(c.reply)), c.qel) << c.name;
        EXPECT_EQ(ParseSetConfigurationAgreement(R(c.reply)), c.agreement) << c.name;
        EXPECT_EQ(ParseHostApplicationId(R(c.reply)), c.host_id) << c.name;
    }
}

std::string Interface(const std::string& id, const std::string& method,
                      const std::string& address) {
    std::string text = "<ivec:interface_set id=\"" + id + "\">";
    if (!method.empty()) {
        text += "<vvt:communication_method><vvt:item>" + method +
                "</vvt:item></vvt:communication_method>";
    }
    return text + "<ivec:ip><ivec:hwaddress>" + address + "</ivec:hwaddress></ivec:ip>" +
           "</ivec:interface_set>";
}

TEST(Replies, NetworkInterfaces) {
    auto status = [](const std::string& response, const std::string& detail,
                     const std::string& interfaces) {
        return Doc("GetStatus", "device", response, detail,
                   "<ivec:network_interface>" + interfaces + "</ivec:network_interface>");
    };
    const std::string wired = Interface("wired0", "", "AA:AA");
    const std::string w0_direct = Interface("wireless0", "wifi_direct", "B0:B0");
    const std::string w1_infra = Interface("wireless1", "infrastructure_mode", "B1:B1");
    const std::string w2_infra = Interface("wireless2", "infrastructure_mode", "B2:B2");
    struct Case {
        const char* name;
        std::string reply;
        bool wireless_only;
        int result;
        std::string address;
    };
    const std::vector<Case> cases = {
        {"wired first", status("OK", "", wired + w1_infra), false, 0, "AA:AA"},
        {"wireless only", status("OK", "", wired + w0_direct + w1_infra + w2_infra), true, 0,
         "B1:B1"},
        {"no wired address", status("OK", "", Interface("wired0", "", "") + w2_infra), false, 0,
         "B2:B2"},
        {"only wired, wireless asked", status("OK", "", wired), true, 0, "kept"},
        {"item must be exact",
         status("OK", "", Interface("wireless0", "infrastructure_mode2", "B0:B0")), true, 0,
         "kept"},
        {"refused still writes", status("NG", "Initializing", wired), false, 13, "AA:AA"},
        {"unread", "nothing", false, 1, "kept"},
    };
    for (const auto& c : cases) {
        std::string address = "kept";
        EXPECT_EQ(ParseNetworkInterfaces(R(c.reply), c.wireless_only, &address), c.result)
            << c.name;
        EXPECT_EQ(address, c.address) << c.name;
    }
}

TEST(Replies, WebserviceAgreement) {
    struct Case {
        std::string response;
        std::string detail;
        std::string value;
        int result;
        int agreement;
    };
    const std::vector<Case> cases = {
        {"OK", "", "unknown", 0, 1}, {"OK", "", "agree", 0, 2},
        {"OK", "", "AGREE", 0, 2},   {"OK", "", "Disagree", 0, 3},
        {"OK", "", "maybe", 0, 0},   {"NG", "ShuttingDown", "agree", 14, 9},
        {"NG", "", "agree", 1, 9},
    };
    for (const auto& c : cases) {
        std::uint8_t agreement = 9;
        const auto reply =
            Doc("GetConfiguration", "device", c.response, c.detail,
                "<vvt:webservice_agreement>" + c.value + "</vvt:webservice_agreement>");
        EXPECT_EQ(ParseWebserviceAgreement(R(reply), &agreement), c.result) << c.value;
        EXPECT_EQ(agreement, c.agreement) << c.value;
    }
}

// A job identifier goes back to the printer as the printer wrote it: read decoded, escaped once
// when the next request is filled.
TEST(Replies, JobIdentifierRoundTrip) {
    struct Case {
        std::string written; // in the StartJob reply
        std::string value;   // what the reply reads as
        std::string sent;    // inside the EndJob request's jobID element
    };
    const std::vector<Case> cases = {
        {"00000042", "00000042", "00000042"}, {"A&amp;B", "A&B", "A&amp;B"},
        {"&lt;1&gt;", "<1>", "&lt;1&gt;"},    {"&quot;q&quot;&apos;", "\"q\"'", "\"q\"'"},
        {"&#60;&#x26;", "<&", "&lt;&amp;"},
    };
    const std::string job_path =
        "cmd/ivec:contents/ivec:param_set servicetype=\"device\"/ivec:jobID";
    for (const auto& c : cases) {
        const auto reply =
            Doc("StartJob", "device", "OK", "", "<ivec:jobID>" + c.written + "</ivec:jobID>");
        PairList start;
        ASSERT_EQ(ParseDeviceStartJobResponse(R(reply), &start), 0) << c.written;
        const std::string* job_id = FindValue(start, "ivec:jobID");
        ASSERT_NE(job_id, nullptr) << c.written;
        EXPECT_EQ(*job_id, c.value) << c.written;

        std::vector<char> request(4096);
        std::size_t length = 0;
        ASSERT_EQ(BuildDeviceEndJob(*job_id, request, &length), kBuildOk) << c.written;
        const std::string text(request.data(), length);
        EXPECT_NE(text.find("<ivec:jobID>" + c.sent + "</ivec:jobID>"), std::string::npos) << text;
        std::vector<std::string> read_back;
        ASSERT_EQ(ReadResponseValues(text, std::vector<std::string>{job_path}, &read_back), 0);
        EXPECT_EQ(read_back.at(0), c.value) << c.written;
    }
}

TEST(Replies, DeviceJobs) {
    const std::string job = "<ivec:jobID>00000042</ivec:jobID>";
    struct Case {
        const char* name;
        std::string response;
        std::string detail;
        int start_result;
        int job_result;
    };
    const std::vector<Case> cases = {
        {"OK", "OK", "", 0, 0},
        {"empty response", "", "", 0, 1},
        {"other response", "BUSY", "", 0, 1},
        {"NG", "NG", "DeviceUseOtherJob", 6, 6},
    };
    for (const auto& c : cases) {
        const auto reply = Doc("StartJob", "device", c.response, c.detail, job);
        PairList start;
        EXPECT_EQ(ParseDeviceStartJobResponse(R(reply), &start), c.start_result) << c.name;
        if (c.start_result == 0) {
            EXPECT_EQ(start.size(), 3u);
            const std::string* job_id = FindValue(start, "ivec:jobID");
            ASSERT_NE(job_id, nullptr) << c.name;
            EXPECT_EQ(*job_id, "00000042");
        }
        PairList other;
        EXPECT_EQ(ParseDeviceJobResponse(R(reply), &other), c.job_result) << c.name;
        EXPECT_EQ(other.size(), c.job_result == 0 ? 3u : 0u) << c.name;
    }
    EXPECT_EQ(ParseDeviceJobResponse(R(Device("OK", "")), nullptr), 2);
}

TEST(Replies, QelSupportAndConnectivity) {
    struct ServiceCase {
        std::string response;
        std::string services;
        bool result;
        int kind;
    };
    const std::vector<ServiceCase> services = {
        {"OK", "serviceD,serviceA", true, 1},
        {"OK", "serviceD", true, 2},
        {"OK", "serviceX", false, 9},
        {"NG", "serviceA", false, 9},
    };
    for (const auto& c : services) {
        std::uint8_t kind = 9;
        const auto reply = Doc("GetCapability", "qel", c.response, "",
                               "<ivec:support_service>" + c.services + "</ivec:support_service>");
        EXPECT_EQ(ParseQelSupportService(R(reply), &kind), c.result) << c.services;
        EXPECT_EQ(kind, c.kind) << c.services;
    }

    struct StateCase {
        std::string response;
        std::string state;
        int value;
    };
    const std::vector<StateCase> states = {
        {"OK", "none", 0},
        {"OK", "confirming", 1},
        {"OK", "success", 2},
        {"OK", "server_error", 3},
        {"OK", "not_connect_internet", 4},
        {"OK", "connect_timeout", 5},
        {"OK", "other_connect_error", 6},
        {"OK", "Success", 0},
        {"NG", "success", 9},
    };
    for (const auto& c : states) {
        std::uint8_t state = 9;
        const auto reply = Doc("GetStatus", "qel", c.response, "",
                               "<vvt:connectivity_test>" + c.state + "</vvt:connectivity_test>");
        EXPECT_EQ(ParseQelConnectivityTest(R(reply), &state), 0) << c.state;
        EXPECT_EQ(state, c.value) << c.state;
    }
    std::uint8_t state = 9;
    EXPECT_EQ(ParseQelConnectivityTest(R("garbage"), &state), 0);
    EXPECT_EQ(state, 9);
    EXPECT_EQ(ParseQelConnectivityTest(R("garbage"), nullptr), 2);
}

TEST(Replies, QelStartJobs) {
    const std::string challenge = "<ivec:job_description><![CDATA[job-1]]></ivec:job_description>"
                                  "<vvt:ijdatakey4>8f3a</vvt:ijdatakey4>";
    struct Case {
        const char* name;
        std::string reply;
        int result;
        std::size_t pairs;
    };
    const std::vector<Case> first = {
        {"challenge", Qel("NG", "", challenge), 0, 4},
        {"refused with detail", Qel("NG", "DeviceUseOtherJob", challenge), 6, 0},
        {"OK is not a challenge", Qel("OK", "", challenge), 1, 0},
        {"unread", "<?xml ?><cmd><", 1, 0},
    };
    for (const auto& c : first) {
        PairList pairs;
        EXPECT_EQ(ParseQelStartJobResponse(R(c.reply), &pairs), c.result) << c.name;
        EXPECT_EQ(pairs.size(), c.pairs) << c.name;
    }
    PairList pairs;
    ASSERT_EQ(ParseQelStartJobResponse(R(Qel("NG", "", challenge)), &pairs), 0);
    const std::string* key4 = FindValue(pairs, "vvt:ijdatakey4");
    const std::string* description = FindValue(pairs, "ivec:job_description");
    ASSERT_NE(key4, nullptr);
    ASSERT_NE(description, nullptr);
    EXPECT_EQ(*key4, "8f3a");
    EXPECT_EQ(*description, "job-1");

    const std::string accepted = "<ivec:jobID>00000042</ivec:jobID>"
                                 "<ivec:job_description><![CDATA[job-1]]></ivec:job_description>"
                                 "<vvt:ijdatakey7>0000000400000003</vvt:ijdatakey7>"
                                 "<vvt:ijdatakey8>ABCD</vvt:ijdatakey8>";
    PairList job;
    ASSERT_EQ(ParseQelStartJobAuthResponse(R(Qel("OK", "", accepted)), &job), 0);
    const std::vector<std::string> names = {"ivec:response",  "ivec:response_detail",
                                            "ivec:jobID",     "ivec:job_description",
                                            "vvt:ijdatakey7", "vvt:ijdatakey8"};
    ASSERT_EQ(job.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(job[i].name, names[i]);
    }
    PairList refused;
    EXPECT_EQ(ParseQelStartJobAuthResponse(R(Qel("NG", "AuthenticationError", accepted)), &refused),
              10);
    EXPECT_TRUE(refused.empty());

    PairList ended;
    EXPECT_EQ(ParseQelEndJobResponse(R(Doc("EndJob", "qel", "OK", "", accepted)), &ended), 0);
    EXPECT_EQ(ended.size(), 4u);
    EXPECT_EQ(ParseQelEndJobResponse(R(Doc("EndJob", "qel", "NG", "IllegalJobID", "")), &ended), 8);
}

// A ReceiveData reply whose payload the test makes with the library's own cipher: the parser's
// framing is what is under test here; the cipher has known answers of its own.
struct ReceiveDataFixture : ::testing::Test {
    const std::string key_text = "00:1B:2C:3D:4E:5F";
    const std::string key7 = "0000000400000003";
    PairList job;

    void SetUp() override {
        std::string key8;
        ASSERT_EQ(crypto::ComputeResponseDigest("job-1", "00000042", key7, key8), 0);
        job = {{"ivec:response", "OK"},    {"ivec:response_detail", ""},
               {"ivec:jobID", "00000042"}, {"ivec:job_description", "job-1"},
               {"vvt:ijdatakey7", key7},   {"vvt:ijdatakey8", key8}};
    }

    std::string Payload(const std::string& plain) {
        crypto::Bytes ciphered;
        std::string digest;
        EXPECT_EQ(crypto::EncryptRequestPayload(plain, key_text, key7, &ciphered, &digest), 0);
        return std::string(ciphered.begin(), ciphered.end());
    }

    std::string ReplyWith(const std::string& datasize, const std::string& payload,
                          const std::string& response = "OK") {
        return Doc("ReceiveData", "qel", response, "",
                   "<ivec:jobID>00000042</ivec:jobID><ivec:format>get_id</ivec:format>"
                   "<ivec:datasize>" +
                       datasize + "</ivec:datasize><vvt:ijdatakey6>00</vvt:ijdatakey6>") +
               payload;
    }
};

TEST_F(ReceiveDataFixture, DecryptsThePayloadAfterTheXml) {
    const std::string plain = "<application_data><register_id>R1</register_id></application_data>";
    const std::string payload = Payload(plain);
    const auto reply = ReplyWith(std::to_string(payload.size()), payload);
    PairList pairs;
    std::string text;
    ASSERT_EQ(ParseQelReceiveDataResponse(R(reply), key_text, job, &pairs, &text), 0);
    EXPECT_EQ(text, plain);
    EXPECT_EQ(pairs.size(), 7u);
    const std::string* size = FindValue(pairs, "ivec:datasize");
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(*size, std::to_string(payload.size()));
}

TEST_F(ReceiveDataFixture, RefusesUnusablePayloads) {
    const std::string payload = Payload("<application_data/>");
    const std::string n = std::to_string(payload.size());
    struct Case {
        const char* name;
        std::string reply;
        int result;
    };
    const std::vector<Case> cases = {
        {"datasize larger than what follows",
         ReplyWith(std::to_string(payload.size() + 1), payload), 21},
        {"datasize reaching into the XML", ReplyWith("100000", payload), 21},
        {"empty datasize", ReplyWith("", payload), 21},
        {"garbage datasize", ReplyWith("16x", payload), 21},
        {"signed datasize", ReplyWith("+" + n, payload), 21},
        {"blank inside datasize", ReplyWith(n.substr(0, 1) + " " + n.substr(1), payload), 21},
        {"huge datasize", ReplyWith("99999999999999999999999", payload), 21},
        {"zero bytes of ciphertext", ReplyWith("0", payload), 21},
        {"partial block", ReplyWith(std::to_string(payload.size() - 1), payload), 21},
        {"no payload", ReplyWith(n, ""), 21},
        {"NG", ReplyWith(n, payload, "NG"), 1},
        {"root not closed", ReplyWith(n, payload).substr(0, 200), 1},
    };
    for (const auto& c : cases) {
        PairList pairs;
        std::string text = "kept";
        EXPECT_EQ(ParseQelReceiveDataResponse(R(c.reply), key_text, job, &pairs, &text), c.result)
            << c.name;
        EXPECT_EQ(text, "kept") << c.name;
    }
    std::string text;
    PairList pairs;
    EXPECT_EQ(ParseQelReceiveDataResponse(R(ReplyWith(n, payload)), key_text, job, nullptr, &text),
              2);
    EXPECT_EQ(ParseQelReceiveDataResponse(R(ReplyWith(n, payload)), key_text, job, &pairs, nullptr),
              2);
}

TEST_F(ReceiveDataFixture, RefusesAWrongJobDigestOrKey) {
    const std::string payload = Payload("<application_data/>");
    const auto reply = ReplyWith(std::to_string(payload.size()), payload);
    std::string text;
    PairList pairs;

    auto upper = job;
    for (char& c : upper[5].value) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(ParseQelReceiveDataResponse(R(reply), key_text, upper, &pairs, &text), 0);

    auto wrong = job;
    wrong[5].value[0] = wrong[5].value[0] == '0' ? '1' : '0';
    EXPECT_EQ(ParseQelReceiveDataResponse(R(reply), key_text, wrong, &pairs, &text), 21);

    EXPECT_EQ(ParseQelReceiveDataResponse(R(reply), "00:1B:2C:3D:4E:50", job, &pairs, &text), 21);
}

} // namespace
} // namespace vtqeldevc
