#include "responder_fixture.h"

namespace printersim::testing {
namespace {

using Scenarios = ResponderTest;

ReplyFault on(const char* service, const char* operation) {
    ReplyFault f;
    f.service = service;
    f.operation = operation;
    return f;
}

TEST_F(Scenarios, RefusalsAndChangedValues) {
    struct Case {
        const char* what;
        ReplyFault fault;
        std::vector<std::pair<const char*, const char*>> expected;
        std::vector<const char*> absent;
    };
    const ReplyFault ng = refuse("device", "GetCapability", "Initializing");
    ReplyFault empty = on("device", "GetCapability");
    empty.response = "";
    ReplyFault key = on("device", "GetCapability");
    key.elements = {{"vvt:pdr", "C"}, {"ivec:model", std::nullopt}, {"vvt:extra", "x"}};
    const Case cases[] = {
        {"NG with a detail",
         ng,
         {{"ivec:response", "NG"},
          {"ivec:response_detail", "Initializing"},
          {"ivec:model", "VT-X100 Series"}},
         {}},
        {"empty response", empty, {{"ivec:response", ""}}, {}},
        {"elements set and left out", key, {{"vvt:pdr", "C"}, {"vvt:extra", "x"}}, {"ivec:model"}},
    };
    for (const auto& c : cases) {
        responder.set_scenario(Scenario{{c.fault}, {}, {}});
        const auto r = device("GetCapability");
        ASSERT_TRUE(r.readable) << c.what;
        for (const auto& [name, value] : c.expected) {
            EXPECT_EQ(r.get(name), value) << c.what << " " << name;
        }
        for (const auto* name : c.absent) {
            EXPECT_EQ(r.get(name), "<missing>") << c.what << " " << name;
        }
        // Other replies stay as they were.
        EXPECT_EQ(device("GetStatus").response(), "OK") << c.what;
    }
}

TEST_F(Scenarios, SkipAndTimesChooseTheReplies) {
    ReplyFault f = on("qel", "GetStatus");
    f.response = "NG";
    f.detail = "Suspended";
    f.skip = 1;
    f.times = 2;
    responder.set_scenario(Scenario{{f}, {}, {}});
    std::vector<std::string> details;
    for (int i = 0; i < 5; ++i) {
        details.push_back(qel("GetStatus").detail());
    }
    EXPECT_EQ(details, (std::vector<std::string>{"", "Suspended", "Suspended", "", ""}));
    f.skip = 0;
    f.times = -1;
    responder.set_scenario(Scenario{{f}, {}, {}});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(qel("GetStatus").detail(), "Suspended");
    }
}

TEST_F(Scenarios, JobFieldsTheHostMustRefuse) {
    Scenario s;
    s.challenge = "ABCDEF0123";
    ReplyFault key7 = on("qel", "StartJob");
    key7.skip = 1;
    key7.elements = {{"vvt:ijdatakey7", "00000004zz"}, {"vvt:ijdatakey8", "0"}};
    s.faults = {key7};
    responder.set_scenario(s);
    const std::string start = "<ivec:bidi>1</ivec:bidi><ivec:job_description><![CDATA[j]]>"
                              "</ivec:job_description><vvt:ijdatakey3>"
                              "9e41c07b2d58a3f6e0b1947c5d2a86fe</vvt:ijdatakey3>";
    const auto first = qel("StartJob", start);
    EXPECT_EQ(first.get("vvt:ijdatakey4"), "ABCDEF0123");
    const auto answer =
        crypto::challenge_answer(test_tables(), "00:1B:A9:3C:00:01", "ABCDEF0123", "j");
    const auto job = qel("StartJob", "<ivec:bidi>1</ivec:bidi><ivec:job_description><![CDATA[j]]>"
                                     "</ivec:job_description><vvt:ijdatakey1>ADMIN"
                                     "</vvt:ijdatakey1><vvt:ijdatakey2>" +
                                         answer.value_or("") + "</vvt:ijdatakey2>");
    EXPECT_EQ(job.response(), "OK");
    EXPECT_EQ(job.get("vvt:ijdatakey7"), "00000004zz");
    EXPECT_EQ(job.get("vvt:ijdatakey8"), "0");
}

TEST_F(Scenarios, ReceiveDataFaults) {
    const std::string doc =
        "<application_data><format_version>1.00</format_version></application_data>";
    struct Case {
        const char* what;
        ReplyFault fault;
        const char* datasize;
        bool decipherable;
    };
    ReplyFault empty = on("qel", "ReceiveData");
    empty.elements = {{"ivec:datasize", ""}};
    const ReplyFault garbage = change_element("qel", "ReceiveData", "ivec:datasize", "1e3");
    ReplyFault corrupt = on("qel", "ReceiveData");
    corrupt.corrupt_payload = true;
    const Case cases[] = {
        {"empty datasize", empty, "", true},
        {"garbage datasize", garbage, "1e3", true},
        {"corrupt payload", corrupt, nullptr, false},
    };
    for (const auto& c : cases) {
        printer.with([](PrinterModel& m) { m.qel_job = {}; });
        responder.set_scenario(Scenario{{c.fault}, {}, {}});
        const auto job = login();
        const auto r = send(PortPath::Port2, receive_data(job, "get_id", doc));
        EXPECT_EQ(r.response(), "OK") << c.what;
        if (c.datasize) {
            EXPECT_EQ(r.get("ivec:datasize"), c.datasize) << c.what;
        }
        EXPECT_EQ(open_payload(job, r) != "<undecipherable>", c.decipherable) << c.what;
    }
}

TEST_F(Scenarios, ReplyShapes) {
    const auto reply_of = [&](ReplyFault f) {
        f.service = "device";
        f.operation = "GetConfiguration";
        responder.set_scenario(Scenario{{f}, {}, {}});
        return responder.respond(PortPath::Port1, request("device", "GetConfiguration"));
    };
    ReplyFault f;

    f = {};
    f.comments_with_gt = true;
    auto raw = reply_of(f);
    EXPECT_NE(raw.find("<!-- state: ready > idle -->"), std::string::npos);
    EXPECT_EQ(parse(raw).get("vvt:webservice_agreement"), "unknown");

    f = {};
    f.namespaces = ReplyNamespaces::OtherPrefix;
    raw = reply_of(f);
    EXPECT_NE(raw.find("xmlns:c=\"" + common_ns() + "\""), std::string::npos);
    EXPECT_NE(raw.find("<c:response>OK</c:response>"), std::string::npos);
    EXPECT_EQ(parse(raw).get("vvt:webservice_agreement"), "unknown");

    f = {};
    f.namespaces = ReplyNamespaces::WrongUri;
    raw = reply_of(f);
    EXPECT_NE(raw.find("<ivec:response>OK</ivec:response>"), std::string::npos);
    EXPECT_FALSE(parse(raw).readable);

    f = {};
    f.namespaces = ReplyNamespaces::Undeclared;
    raw = reply_of(f);
    EXPECT_EQ(raw.find("xmlns"), std::string::npos);
    EXPECT_NE(raw.find("<ivec:response>OK</ivec:response>"), std::string::npos);

    f = {};
    f.cut_to = 120;
    EXPECT_EQ(reply_of(f).size(), 120u);

    f = {};
    f.cut_after = "</ivec:response>";
    raw = reply_of(f);
    EXPECT_TRUE(raw.ends_with("<ivec:response>OK</ivec:response>")) << raw;

    f = {};
    f.pad_to = 70000;
    raw = reply_of(f);
    EXPECT_EQ(raw.size(), 70000u);
    EXPECT_EQ(raw.find('\0'), std::string::npos);
    EXPECT_GT(raw.find("<ivec:contents>"), 65536u);
    EXPECT_EQ(parse(raw).get("vvt:webservice_agreement"), "unknown");

    f = {};
    f.pad_to = 65536;
    f.pad_place = PadPlace::AfterRoot;
    raw = reply_of(f);
    EXPECT_EQ(raw.size(), 65536u);
    EXPECT_EQ(raw.find('\0'), std::string::npos);
    EXPECT_LT(raw.find("</cmd>"), 1000u);

    f = {};
    f.pad_to = 70000;
    f.cut_to = 65536;
    f.pad_place = PadPlace::InsideRoot;
    raw = reply_of(f);
    EXPECT_EQ(raw.size(), 65536u);
    EXPECT_EQ(raw.find("</cmd>"), std::string::npos);

    f = {};
    f.raw = std::string("\0\xff<cmd", 6);
    EXPECT_EQ(reply_of(f), std::string("\0\xff<cmd", 6));
}

TEST_F(Scenarios, DelaysGoThroughTheInjectedSleep) {
    ReplyFault f = on("qel", "GetStatus");
    f.delay_ms = 3000;
    f.times = 2;
    responder.set_scenario(Scenario{{f}, {}, {}});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(qel("GetStatus").response(), "OK");
    }
    EXPECT_EQ(sleeps, (std::vector<unsigned>{3000, 3000}));
}

TEST_F(Scenarios, HistoryRecordsWhatThePrinterDecided) {
    ReplyFault f = on("device", "GetStatus");
    f.response = "NG";
    responder.set_scenario(Scenario{{f}, {}, {}});
    device("GetStatus");
    send(PortPath::Port2, request("device", "GetStatus"));
    const auto h = responder.history();
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0].port, PortPath::Port1);
    EXPECT_EQ(h[0].operation, "GetStatus");
    EXPECT_EQ(h[0].response, "OK");
    EXPECT_EQ(h[1].detail, "NotSupportService");
}

} // namespace
} // namespace printersim::testing
