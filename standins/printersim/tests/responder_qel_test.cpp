#include "responder_fixture.h"

namespace printersim::testing {
namespace {

using QelService = ResponderTest;

constexpr const char* kJob = "6f1c2a4e-1111-4222-8333-944455556666";

TEST_F(QelService, CapabilityAndConnectivityTest) {
    printer.with([](PrinterModel& m) {
        m.qel_support_service = "serviceD";
        m.connectivity_test = "success";
        m.connectivity_confirming_polls = 2;
    });
    EXPECT_EQ(qel("GetCapability").get("ivec:support_service"), "serviceD");
    EXPECT_EQ(qel("GetStatus").get("vvt:connectivity_test"), "confirming");
    EXPECT_EQ(qel("GetStatus").get("vvt:connectivity_test"), "confirming");
    EXPECT_EQ(qel("GetStatus").get("vvt:connectivity_test"), "success");

    printer.with([](PrinterModel& m) { m.services = "device"; });
    EXPECT_EQ(qel("GetCapability").detail(), "NotSupportService");
}

TEST_F(QelService, LoginOpensTheJob) {
    const auto job = login();
    ASSERT_EQ(job.response(), "OK") << job.raw;
    EXPECT_EQ(job.detail(), "");
    EXPECT_EQ(job.get("ivec:job_description"), kJob);
    EXPECT_EQ(job.get("vvt:ijdatakey7"), "0000000400000003");
    EXPECT_EQ(job.get("vvt:ijdatakey8"),
              crypto::job_digest(kJob, job.get("ivec:jobID"), "0000000400000003"));
    const auto m = printer.snapshot();
    EXPECT_TRUE(m.qel_job.open);
    EXPECT_EQ(m.qel_job.job_id, job.get("ivec:jobID"));

    // A second job waits until this one ends.
    const std::string ids = "<ivec:jobID>" + job.get("ivec:jobID") +
                            "</ivec:jobID><ivec:job_description><![CDATA[" + kJob +
                            "]]></ivec:job_description>";
    EXPECT_EQ(qel("StartJob", "<ivec:bidi>1</ivec:bidi><ivec:job_description><![CDATA[second]]>"
                              "</ivec:job_description><vvt:ijdatakey3>"
                              "9e41c07b2d58a3f6e0b1947c5d2a86fe</vvt:ijdatakey3>")
                  .detail(),
              "DeviceUseOtherJob");
    EXPECT_EQ(device("StartJob", "<ivec:jobID>00000001</ivec:jobID>").detail(),
              "DeviceUseOtherJob");
    const auto end = qel("EndJob", ids);
    EXPECT_EQ(end.response(), "OK");
    EXPECT_EQ(end.get("ivec:jobID"), job.get("ivec:jobID"));
    EXPECT_EQ(end.get("ivec:job_description"), kJob);
    EXPECT_EQ(qel("EndJob", ids).detail(), "NotStart");
    EXPECT_FALSE(printer.snapshot().qel_job.open);
}

TEST_F(QelService, ChallengesDifferAndAreLowercaseHex) {
    const std::string start = "<ivec:bidi>1</ivec:bidi><ivec:job_description><![CDATA[j]]>"
                              "</ivec:job_description><vvt:ijdatakey3>"
                              "9e41c07b2d58a3f6e0b1947c5d2a86fe</vvt:ijdatakey3>";
    const auto a = qel("StartJob", start).get("vvt:ijdatakey4");
    const auto b = qel("StartJob", start).get("vvt:ijdatakey4");
    EXPECT_NE(a, b);
    for (const auto& c : {a, b}) {
        EXPECT_EQ(c.size(), 32u);
        EXPECT_EQ(c.find_first_not_of("0123456789abcdef"), std::string::npos) << c;
    }
}

TEST_F(QelService, LoginFailures) {
    const std::string cdata =
        std::string("<ivec:job_description><![CDATA[") + kJob + "]]></ivec:job_description>";
    const std::string key3 = "<vvt:ijdatakey3>9e41c07b2d58a3f6e0b1947c5d2a86fe</vvt:ijdatakey3>";
    struct Case {
        const char* what;
        std::string first;  // children of the first StartJob, empty: none sent
        std::string answer; // "right" computes the answer, else sent as written
        std::string user;
        std::string second_job;
        const char* first_detail;
        const char* second_detail;
    };
    const Case cases[] = {
        {"wrong answer", cdata + key3, std::string(64, 'a'), "ADMIN", kJob, "",
         "AuthenticationError"},
        {"wrong user", cdata + key3, "right", "GUEST", kJob, "", "AuthenticationError"},
        {"other job description", cdata + key3, "right", "ADMIN", "other", "",
         "AuthenticationError"},
        {"no challenge asked", "", "right", "ADMIN", kJob, "", "AuthenticationError"},
        {"wrong key3", cdata + "<vvt:ijdatakey3>00</vvt:ijdatakey3>", "right", "ADMIN", kJob,
         "AuthenticationError", "AuthenticationError"},
        {"no job description", key3, "right", "ADMIN", kJob, "ParameterError",
         "AuthenticationError"},
    };
    for (const auto& c : cases) {
        printer.with([](PrinterModel& m) { m.qel_job = {}; });
        std::string challenge;
        if (!c.first.empty()) {
            const auto r = qel("StartJob", "<ivec:bidi>1</ivec:bidi>" + c.first);
            EXPECT_EQ(r.response(), "NG") << c.what;
            EXPECT_EQ(r.detail(), c.first_detail) << c.what;
            challenge = r.get("vvt:ijdatakey4");
        }
        const std::string answer =
            c.answer == "right"
                ? crypto::challenge_answer(test_tables(), "00:1B:A9:3C:00:01", challenge, kJob)
                      .value_or("")
                : c.answer;
        const auto r = qel(
            "StartJob", "<ivec:bidi>1</ivec:bidi><ivec:job_description><![CDATA[" + c.second_job +
                            "]]></ivec:job_description>" + "<vvt:ijdatakey1>" + c.user +
                            "</vvt:ijdatakey1><vvt:ijdatakey2>" + answer + "</vvt:ijdatakey2>");
        EXPECT_EQ(r.response(), "NG") << c.what;
        EXPECT_EQ(r.detail(), c.second_detail) << c.what;
        EXPECT_FALSE(printer.snapshot().qel_job.open) << c.what;
    }
}

TEST_F(QelService, ScenarioKeysTheAnswerToAnotherAddress) {
    Scenario s;
    s.answer_address = "00:1B:A9:3C:00:99";
    responder.set_scenario(s);
    EXPECT_EQ(login().detail(), "AuthenticationError");
    // The host that knows that address is let in.
    EXPECT_EQ(login(kJob, "00:1b:a9:3c:00:99").response(), "OK");
}

TEST_F(QelService, WiredAddressKeysTheJobWhenThePrinterHasOne) {
    printer.with([](PrinterModel& m) { m.interfaces[0].hwaddress = "00:1B:A9:3C:00:00"; });
    EXPECT_EQ(login().detail(), "AuthenticationError");
    printer.with([](PrinterModel& m) { m.qel_job = {}; });
    EXPECT_EQ(login(kJob, "00:1B:A9:3C:00:00").response(), "OK");
}

TEST_F(QelService, DecryptsTheReferenceCiphertext) {
    // get_id ciphered by known_answers.py under the printer's address and selector 3.
    const auto job = login();
    ASSERT_EQ(job.response(), "OK");
    const auto ct =
        crypto::hex_pairs("81b5458f2107eab3562ddd75fc0b7b4b90d2a16ddcc1a75805d2e93eb3d61a35"
                          "acb479dd9faa52512852b2bd0e7fc6cd53f6611bcb9e3be56f7df4c4afa0a16b");
    auto tail = crypto::hex_pairs("367f5a68f36cf0308db3753e88592911");
    ASSERT_TRUE(ct && tail);
    auto payload = *ct;
    payload.insert(payload.end(), tail->begin(), tail->end());
    const auto digest = crypto::payload_digest(payload);
    ASSERT_TRUE(digest);
    const auto r = send(PortPath::Port2,
                        receive_data_raw(job, "get_id", std::string(payload.begin(), payload.end()),
                                         "80", *digest));
    EXPECT_EQ(r.response(), "OK") << r.raw;
    EXPECT_EQ(responder.history().back().application_data,
              "<application_data><format_version>1.00</format_version></application_data>");
}

TEST_F(QelService, ApplicationDataExchanges) {
    printer.with([](PrinterModel& m) {
        m.registered_id = "REG-1";
        m.unregistered_id = "UNREG-2";
        m.service_id = "001";
        m.next_printer_id = "NEW-3";
    });
    const auto job = login();
    ASSERT_EQ(job.response(), "OK");
    const std::string head = "<application_data><format_version>1.00</format_version>";
    struct Case {
        const char* format;
        std::string document;
        std::string expected;
    };
    const Case cases[] = {
        {"get_id", head + "</application_data>",
         head + "<unregister_id>UNREG-2</unregister_id><register_id>REG-1</register_id>"
                "</application_data>"},
        {"id_status", head + "<printer_id>REG-1</printer_id></application_data>",
         head + "<printer_id>REG-1</printer_id><id_status>registered</id_status>"
                "<serviceID>001</serviceID></application_data>"},
        {"id_status", head + "<printer_id>UNREG-2</printer_id></application_data>",
         head + "<printer_id>UNREG-2</printer_id><id_status>unregistered</id_status>"
                "<serviceID>001</serviceID></application_data>"},
        {"create_id",
         head + "<server_url>https://s.example/x?a=1&amp;b=2</server_url><refresh_token>rt"
                "</refresh_token><access_token>at</access_token><service_id></service_id>"
                "</application_data>",
         head + "<printer_id>NEW-3</printer_id></application_data>"},
    };
    for (const auto& c : cases) {
        const auto r = send(PortPath::Port2, receive_data(job, c.format, c.document));
        ASSERT_EQ(r.response(), "OK") << c.format << ": " << r.raw;
        EXPECT_EQ(r.get("ivec:jobID"), job.get("ivec:jobID"));
        EXPECT_EQ(r.get("ivec:job_description"), kJob);
        EXPECT_EQ(r.get("ivec:format"), c.format);
        EXPECT_EQ(r.get("ivec:datasize"), std::to_string(r.payload.size()));
        EXPECT_EQ(r.get("vvt:ijdatakey6"),
                  crypto::payload_digest(crypto::Bytes(r.payload.begin(), r.payload.end())));
        EXPECT_EQ(r.payload.size() % 16, 0u);
        EXPECT_EQ(open_payload(job, r), c.expected) << c.format;
        EXPECT_EQ(responder.history().back().application_data, c.document);
    }
    const auto m = printer.snapshot();
    EXPECT_EQ(m.server_url, "https://s.example/x?a=1&b=2");
    EXPECT_EQ(m.refresh_token, "rt");
    EXPECT_EQ(m.access_token, "at");
    EXPECT_EQ(m.service_id, "");
    EXPECT_EQ(m.unregistered_id, "NEW-3");
}

TEST_F(QelService, WithoutTheInternetNoIdentityIsCreatedAndTheTestSaysSo) {
    printer.with([](PrinterModel& m) {
        m.registered_id = "REG-1";
        m.connectivity_test = "success";
        m.reaches_internet = false;
    });
    EXPECT_EQ(qel("GetStatus").get("vvt:connectivity_test"), "not_connect_internet");
    const auto job = login();
    ASSERT_EQ(job.response(), "OK");
    const std::string head = "<application_data><format_version>1.00</format_version>";
    const std::string create = head + "<server_url>u</server_url><refresh_token>r"
                                      "</refresh_token><access_token>a</access_token>"
                                      "<service_id>001</service_id></application_data>";
    // What the printer knows itself it still tells; only the cloud's part fails.
    EXPECT_EQ(
        send(PortPath::Port2, receive_data(job, "get_id", head + "</application_data>")).response(),
        "OK");
    EXPECT_EQ(send(PortPath::Port2, receive_data(job, "create_id", create)).detail(),
              "NotConnectInternet");
    EXPECT_EQ(printer.snapshot().unregistered_id, "");

    printer.with([](PrinterModel& m) { m.reaches_internet = true; });
    EXPECT_EQ(send(PortPath::Port2, receive_data(job, "create_id", create)).response(), "OK");
    EXPECT_EQ(qel("GetStatus").get("vvt:connectivity_test"), "success");
}

TEST_F(QelService, PlainModeCarriesTheDocumentAsItIs) {
    printer.with([](PrinterModel& m) {
        m.cipher_mode = 0;
        m.registered_id = "R";
    });
    const auto job = login();
    EXPECT_EQ(job.get("vvt:ijdatakey7"), "0000000000000003");
    const auto r =
        send(PortPath::Port2, receive_data(job, "get_id",
                                           "<application_data><format_version>1.00</format_version>"
                                           "</application_data>"));
    ASSERT_EQ(r.response(), "OK");
    EXPECT_NE(r.payload.find("<register_id>R</register_id>"), std::string::npos);
}

TEST_F(QelService, RefusesUnusableApplicationData) {
    const auto job = login();
    ASSERT_EQ(job.response(), "OK");
    const std::string doc =
        "<application_data><format_version>1.00</format_version></application_data>";
    const auto good = receive_data(job, "get_id", doc);
    const auto payload = good.substr(good.find("</cmd>") + 6);
    const auto digested = crypto::payload_digest(crypto::Bytes(payload.begin(), payload.end()));
    ASSERT_TRUE(digested);
    const std::string digest = *digested;
    const std::string size = std::to_string(payload.size());
    const std::string ids = "<ivec:jobID>" + job.get("ivec:jobID") +
                            "</ivec:jobID><ivec:job_description><![CDATA[" + kJob +
                            "]]></ivec:job_description>";
    struct Case {
        const char* what;
        std::string request;
        const char* detail;
    };
    const Case cases[] = {
        {"datasize empty", receive_data_raw(job, "get_id", payload, "", digest), "ParameterError"},
        {"datasize garbage", receive_data_raw(job, "get_id", payload, "8O", digest),
         "ParameterError"},
        {"datasize larger", receive_data_raw(job, "get_id", payload, "96", digest),
         "ParameterError"},
        {"datasize signed", receive_data_raw(job, "get_id", payload, "+80", digest),
         "ParameterError"},
        {"digest wrong", receive_data_raw(job, "get_id", payload, size, std::string(64, '0')),
         "ParameterError"},
        {"digest in upper case",
         receive_data_raw(job, "get_id", payload, size,
                          [&] {
                              std::string d = digest;
                              for (auto& ch : d) {
                                  ch = static_cast<char>(std::toupper(ch));
                              }
                              return d;
                          }()),
         ""},
        {"unknown format", receive_data(job, "get_everything", doc), "ParameterError"},
        {"other version",
         receive_data(job, "get_id",
                      "<application_data><format_version>2.00</format_version>"
                      "</application_data>"),
         "ParameterError"},
        {"not a document", receive_data(job, "get_id", "<application_data>"), "ParameterError"},
        {"create_id without tokens",
         receive_data(job, "create_id",
                      "<application_data><format_version>1.00</format_version>"
                      "<server_url>u</server_url></application_data>"),
         "ParameterError"},
        {"ciphered under another key", receive_data(job, "get_id", doc, "00:1B:A9:3C:00:02"),
         "ParameterError"},
        {"no payload", receive_data_raw(job, "get_id", "", "0", digest), "ParameterError"},
        {"other job id",
         request("qel", "ReceiveData",
                 "<ivec:jobID>1</ivec:jobID><ivec:job_description><![CDATA[" + std::string(kJob) +
                     "]]></ivec:job_description><ivec:format>get_id"
                     "</ivec:format><ivec:datasize>" +
                     size + "</ivec:datasize><vvt:ijdatakey6>" + digest + "</vvt:ijdatakey6>") +
             payload,
         "IllegalJobID"},
    };
    for (const auto& c : cases) {
        const auto r = send(PortPath::Port2, c.request);
        EXPECT_EQ(r.detail(), c.detail) << c.what << ": " << r.raw.substr(0, 400);
    }
    EXPECT_EQ(qel("EndJob", ids).response(), "OK");
    EXPECT_EQ(send(PortPath::Port2, good).detail(), "NotStart");
}

} // namespace
} // namespace printersim::testing
