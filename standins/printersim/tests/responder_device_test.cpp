#include "responder_fixture.h"

namespace printersim::testing {
namespace {

using DeviceService = ResponderTest;

TEST_F(DeviceService, AnswersTheQuestionsAboutItself) {
    printer.with([](PrinterModel& m) {
        m.interfaces = {{"wired0", "00:1B:A9:3C:00:00", ""},
                        {"wireless0", "00:1B:A9:3C:00:01", "wifi_direct"},
                        {"wireless1", "00:1B:A9:3C:00:02", "infrastructure_mode"}};
        m.agreement = "disagree";
    });
    struct Case {
        const char* operation;
        std::vector<std::pair<const char*, const char*>> expected;
        std::vector<const char*> raw_parts;
    };
    const Case cases[] = {
        {"GetCapability",
         {{"ivec:model", "VT-X100 Series"},
          {"ivec:product_serialnumber", "5A3X01234"},
          {"vvt:pdr", "1"},
          {"ivec:service", "device qel"},
          {"vvt:SetConfigurationWithoutStartJob/vvt:webservice_agreement", "agree disagree"},
          {"vvt:SetConfigurationWithoutStartJob/vvt:host_application_id", "0000-9999"}},
         {}},
        {"GetStatus",
         {},
         {"<ivec:interface_set id=\"wired0\"><ivec:ip><ivec:hwaddress>00:1B:A9:3C:00:00<",
          "<ivec:interface_set id=\"wireless0\"><vvt:communication_method><vvt:item>wifi_direct<",
          "<ivec:interface_set id=\"wireless1\"><vvt:communication_method><vvt:item>"
          "infrastructure_mode</vvt:item></vvt:communication_method><ivec:ip><ivec:hwaddress>"
          "00:1B:A9:3C:00:02</ivec:hwaddress>"}},
        {"GetConfiguration", {{"vvt:webservice_agreement", "disagree"}}, {}},
    };
    for (const auto& c : cases) {
        const auto r = device(c.operation);
        ASSERT_TRUE(r.readable) << c.operation << ": " << r.raw;
        EXPECT_EQ(r.operation, std::string(c.operation) + "Response");
        EXPECT_EQ(r.service, "device");
        EXPECT_EQ(r.response(), "OK") << c.operation;
        EXPECT_EQ(r.detail(), "") << c.operation;
        for (const auto& [name, value] : c.expected) {
            EXPECT_EQ(r.get(name), value) << c.operation << " " << name;
        }
        for (const auto* part : c.raw_parts) {
            EXPECT_NE(r.raw.find(part), std::string::npos) << c.operation << ": " << part;
        }
    }
}

TEST_F(DeviceService, CapabilityLeavesOutWhatThePrinterLacks) {
    printer.with([](PrinterModel& m) { m.offers_set_configuration_without_job = false; });
    EXPECT_EQ(device("GetCapability").raw.find("SetConfigurationWithoutStartJob"),
              std::string::npos);
    EXPECT_EQ(device("VendorCmd", "<vvt:ijoperation>SetConfigurationWithoutStartJob"
                                  "</vvt:ijoperation><vvt:webservice_agreement>agree"
                                  "</vvt:webservice_agreement>")
                  .detail(),
              "NotSupportOperation");
}

TEST_F(DeviceService, AgreementJobKeepsItsJobId) {
    const auto job = [](const std::string& id) { return "<ivec:jobID>" + id + "</ivec:jobID>"; };
    const auto start =
        device("StartJob", "<ivec:jobID>00000001</ivec:jobID><ivec:bidi>1</ivec:bidi>");
    ASSERT_EQ(start.response(), "OK");
    const std::string id = start.get("ivec:jobID");
    EXPECT_EQ(id.size(), 8u);
    EXPECT_NE(id, "00000001");
    const std::string agree = "<vvt:webservice_agreement>agree</vvt:webservice_agreement>";

    struct Step {
        const char* operation;
        std::string children;
        const char* response;
        const char* detail;
    };
    const Step steps[] = {
        {"StartJob", job("00000001") + "<ivec:bidi>1</ivec:bidi>", "NG", "DeviceUseOtherJob"},
        {"SetConfiguration", job("99999999") + agree, "NG", "IllegalJobID"},
        {"SetConfiguration", job(id) + "<vvt:webservice_agreement>maybe</vvt:webservice_agreement>",
         "NG", "ParameterError"},
        {"SetConfiguration", job(id) + agree, "OK", ""},
        {"EndJob", job("99999999"), "NG", "IllegalJobID"},
        {"EndJob", job(id), "OK", ""},
        {"EndJob", job(id), "NG", "NotStart"},
        {"SetConfiguration", job(id) + agree, "NG", "NotStart"},
    };
    for (const auto& s : steps) {
        const auto r = device(s.operation, s.children);
        EXPECT_EQ(r.response(), s.response) << s.operation << " " << s.children;
        EXPECT_EQ(r.detail(), s.detail) << s.operation << " " << s.children;
        if (std::string(s.response) == "OK") {
            EXPECT_EQ(r.get("ivec:jobID"), id);
        }
    }
    EXPECT_EQ(printer.snapshot().agreement, "agree");
}

TEST_F(DeviceService, SetConfigurationWithoutStartJob) {
    const std::string op = "<vvt:ijoperation>SetConfigurationWithoutStartJob</vvt:ijoperation>";
    struct Case {
        const char* what;
        bool requires_host_id;
        std::string children;
        const char* detail;
        const char* agreement;
        const char* host_id;
    };
    const Case cases[] = {
        {"plain", false, op + "<vvt:webservice_agreement>agree</vvt:webservice_agreement>", "",
         "agree", ""},
        {"with host id", true,
         op + "<vvt:webservice_agreement>agree</vvt:webservice_agreement>"
              "<vvt:host_application_id>3060</vvt:host_application_id>",
         "", "agree", "3060"},
        {"host id missing", true, op + "<vvt:webservice_agreement>agree</vvt:webservice_agreement>",
         "ParameterError", "unknown", ""},
        {"other operation", false,
         "<vvt:ijoperation>Reboot</vvt:ijoperation>"
         "<vvt:webservice_agreement>agree</vvt:webservice_agreement>",
         "NotSupportOperation", "unknown", ""},
        {"no agreement", false, op, "ParameterError", "unknown", ""},
    };
    for (const auto& c : cases) {
        printer.with([&](PrinterModel& m) {
            m.agreement = "unknown";
            m.host_application_id.clear();
            m.requires_host_application_id = c.requires_host_id;
        });
        const auto r = device("VendorCmd", c.children);
        EXPECT_EQ(r.detail(), c.detail) << c.what;
        EXPECT_EQ(r.response(), *c.detail ? "NG" : "OK") << c.what;
        const auto m = printer.snapshot();
        EXPECT_EQ(m.agreement, c.agreement) << c.what;
        EXPECT_EQ(m.host_application_id, c.host_id) << c.what;
    }
}

TEST_F(DeviceService, CommandPathsChooseTheServices) {
    const std::string qel_start =
        "<ivec:bidi>1</ivec:bidi><ivec:job_description><![CDATA[j]]></ivec:job_description>"
        "<vvt:ijdatakey3>9e41c07b2d58a3f6e0b1947c5d2a86fe</vvt:ijdatakey3>";
    struct Case {
        PortPath port;
        const char* service;
        const char* operation;
        std::string children;
        const char* detail;
    };
    const Case cases[] = {
        {PortPath::Port1, "device", "GetStatus", "", ""},
        {PortPath::Port2, "device", "GetStatus", "", "NotSupportService"},
        {PortPath::Port1, "qel", "GetCapability", "", ""},
        {PortPath::Port1, "qel", "StartJob", qel_start, "NotSupportOperation"},
        {PortPath::Unspecified, "device", "GetStatus", "", ""},
        {PortPath::Port2, "qel", "GetStatus", "", ""},
        {PortPath::Port1, "scanner", "GetStatus", "", "NotSupportService"},
        {PortPath::Port1, "device", "Reboot", "", "NotSupportOperation"},
    };
    for (const auto& c : cases) {
        const auto r = send(c.port, request(c.service, c.operation, c.children));
        EXPECT_EQ(r.detail(), c.detail) << c.service << " " << c.operation;
        EXPECT_EQ(r.operation, std::string(c.operation) + "Response");
    }
    EXPECT_EQ(port_path_from_url(L"/velto/ij/command2/port1"), PortPath::Port1);
    EXPECT_EQ(port_path_from_url(L"/velto/ij/command2/port2"), PortPath::Port2);
    EXPECT_EQ(port_path_from_url(L"/velto/ij/command2/port3"), PortPath::Unspecified);
}

TEST_F(DeviceService, UnusableRequestsAreRefused) {
    const std::string ns = "xmlns:ivec=\"" + common_ns() + "\"";
    struct Case {
        const char* what;
        std::string request;
        const char* detail;
    };
    const Case cases[] = {
        {"garbage", "\x01\x02garbage", "ParameterError"},
        {"empty", "", "ParameterError"},
        {"other root",
         "<?xml version=\"1.0\" ?><doc " + ns +
             "><ivec:contents><ivec:operation>GetStatus</ivec:operation><ivec:param_set "
             "servicetype=\"device\"/></ivec:contents></doc>",
         "ParameterError"},
        {"unclosed", "<?xml version=\"1.0\" ?><cmd " + ns + "><ivec:contents>", "ParameterError"},
        {"operation in another namespace",
         "<?xml version=\"1.0\" ?><cmd " + ns +
             " xmlns:x=\"urn:other\"><ivec:contents><x:operation>GetStatus</x:operation>"
             "<ivec:param_set servicetype=\"device\"/></ivec:contents></cmd>",
         "ParameterError"},
        {"common namespace under the prefix c",
         "<?xml version=\"1.0\" ?><cmd xmlns:c=\"" + common_ns() +
             "\"><c:contents><c:operation>GetStatus</c:operation><c:param_set "
             "servicetype=\"device\"/></c:contents></cmd>",
         ""},
    };
    for (const auto& c : cases) {
        const auto r = send(PortPath::Port1, c.request);
        ASSERT_TRUE(r.readable) << c.what << ": " << r.raw;
        EXPECT_EQ(r.detail(), c.detail) << c.what;
    }
}

} // namespace
} // namespace printersim::testing
