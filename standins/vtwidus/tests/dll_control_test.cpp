// The scenario control functions of vtwidus.dll: argument checks and reading objects back.
#include "dll_fixture.h"

namespace vtwidussim::test {
namespace {

using ControlTest = DllTest;

TEST_F(ControlTest, RefusesBadArguments) {
    ASSERT_EQ(sim_->AddPrinter("Model A", "S1"), 0);
    int value = 0;
    char text[8];
    const VTWIDUSSIM_AccessPoint noSsid{nullptr, nullptr, 0, 0, 0, 0, 0, 0};
    auto badEntry = Client::Fault(0, VTWIDUSSIM_ACTION_RETURN, 0);
    auto badAction = Client::Fault(VTWIDUSSIM_ENTRY_Comm, 99, 0);
    auto badTimes = Client::Fault(VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_RETURN, 0, -2);
    struct Case {
        const char* what;
        int result;
    };
    const Case cases[] = {
        {"AddPrinter null serial", sim_->AddPrinter("M", nullptr)},
        {"UnplugPrinter unknown", sim_->UnplugPrinter(5)},
        {"SetInt unknown printer", sim_->SetInt(1, ".1.3.1.10.0", 1)},
        {"SetInt unknown object", sim_->SetInt(0, ".1.3.9.9.9", 1)},
        {"SetInt null OID", sim_->SetInt(0, nullptr, 1)},
        {"SetText bad IPv4", sim_->SetText(0, ".1.3.3.1.100.10.1.4.2", "10.0.0")},
        {"SetText bad IPv6", sim_->SetText(0, ".1.3.3.1.100.20.1.27.2", "zz::")},
        {"SetRaw null bytes", sim_->SetRaw(0, ".1.9", 4, nullptr, 3)},
        {"SetRaw bad type", sim_->SetRaw(0, ".1.9", 300, nullptr, 0)},
        {"RemoveObject unknown", sim_->RemoveObject(0, ".1.3.9.9.9")},
        {"GetInt of a text", sim_->GetInt(0, ".1.3.2.100.10.3.0", &value)},
        {"GetText null buffer", sim_->GetText(0, ".1.3.2.100.10.3.0", nullptr, 4)},
        {"AddAccessPoint no SSID", sim_->AddAccessPoint(0, &noSsid)},
        {"SetSupport negative index", sim_->SetSupport(0, -1, 2, 1)},
        {"SetBehaviour unknown", sim_->SetBehaviour(0, 42, 1)},
        {"SetBehaviour negative polls", sim_->SetBehaviour(0, 1, -1)},
        {"AddFault null", sim_->AddFault(nullptr)},
        {"AddFault entry 0", sim_->AddFault(&badEntry)},
        {"AddFault unknown action", sim_->AddFault(&badAction)},
        {"AddFault times -2", sim_->AddFault(&badTimes)},
        {"GetFaultHits unknown", sim_->GetFaultHits(0)},
        {"GetJournalLine unknown", sim_->GetJournalLine(0, text, sizeof text)},
        {"GetCallCount unknown entry", sim_->GetCallCount(28)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, -1) << c.what;
    }
}

TEST_F(ControlTest, ObjectsReadBackAsTheAgentServesThem) {
    ASSERT_EQ(sim_->AddPrinter("Model A", "S1"), 0);
    ASSERT_EQ(sim_->SetText(0, ".1.3.3.1.100.10.1.4.3", "10.1.2.3"), 0);
    ASSERT_EQ(sim_->SetText(0, ".1.3.3.1.100.20.1.29.3", "2001:db8::7"), 0);
    ASSERT_EQ(sim_->SetInt(0, ".1.3.2.100.2.0", 4), 0);
    ASSERT_EQ(sim_->SetInt(0, ".1.3.2.100.100.3.0", -5), 0) << "a Gauge32 keeps its kind";
    ASSERT_EQ(sim_->SetText(0, ".1.2.1.8.1.3.1.1", "NEWSERIAL"), 0);
    char text[64] = {};
    EXPECT_EQ(sim_->GetText(0, ".1.3.3.1.100.10.1.4.3", text, sizeof text), 8);
    EXPECT_STREQ(text, "10.1.2.3");
    EXPECT_EQ(sim_->GetText(0, ".1.3.3.1.100.20.1.29.3", text, 4), 11) << "cut to the buffer";
    EXPECT_STREQ(text, "200");

    ASSERT_EQ(api_.Search(&list_), 1);
    VTWIDUS_USB_INSTANCE usb = Open(0);
    ASSERT_EQ(api_.DiscoveryV3(usb), 0);
    std::vector<Answered> out;
    ASSERT_EQ(Get(usb,
                  {Full(".1.3.3.1.100.10.1.4.3"), Full(".1.3.2.100.2.0"),
                   Full(".1.3.2.100.100.3.0"), Full(".1.2.1.8.1.3.1.1")},
                  &out),
              0);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].type, VTWIDUS_TYPE_IPADDRESS);
    EXPECT_EQ(out[0].bytes, (std::vector<std::uint8_t>{10, 1, 2, 3}));
    EXPECT_EQ(out[1].bytes, (std::vector<std::uint8_t>{0, 0, 0, 4}));
    EXPECT_EQ(out[2].type, VTWIDUS_TYPE_GAUGE32);
    EXPECT_EQ(out[2].bytes, (std::vector<std::uint8_t>{0x00, 0xFF, 0xFF, 0xFF, 0xFB}));
    EXPECT_EQ(std::string(out[3].bytes.begin(), out[3].bytes.end()), "NEWSERIAL");

    const std::uint8_t raw[] = {'a', 0, 'b'};
    ASSERT_EQ(sim_->SetRaw(0, ".1.2.2.4.0", VTWIDUS_TYPE_OCTET_STRING, raw, 3), 0);
    ASSERT_EQ(sim_->RemoveObject(0, ".1.3.2.100.10.11.0"), 0);
    ASSERT_EQ(Get(usb, {Full(".1.2.2.4.0"), Full(".1.3.2.100.10.11.0")}, &out), 0);
    EXPECT_EQ(out[0].bytes, std::vector<std::uint8_t>(raw, raw + 3));
    EXPECT_EQ(out[1].type, VTWIDUS_TYPE_NOSUCHOBJECT);
}

} // namespace
} // namespace vtwidussim::test
