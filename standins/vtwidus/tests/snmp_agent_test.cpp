#include "oid.h"
#include "printer_oids.h"
#include "snmp_agent.h"

#include <gtest/gtest.h>

namespace vtwidussim {
namespace {

constexpr std::uint8_t kInt = 0x02;
constexpr std::uint8_t kOctets = 0x04;
constexpr std::uint8_t kIp = 0x40;
constexpr std::uint8_t kGauge = 0x42;
constexpr std::uint8_t kNoSuchObject = 0x80;
constexpr std::uint8_t kNoSuchInstance = 0x81;

Varbind GetVb(std::string_view oid) {
    return {FullOid(oid), {0x05, {}}};
}
Varbind SetVb(std::string_view oid, Value v) {
    return {FullOid(oid), std::move(v)};
}

Value GetOne(UsbPrinter& p, std::string_view oid) {
    const AgentResponse r = Answer(p, kGetRequest, {GetVb(oid)});
    EXPECT_EQ(r.errorStatus, 0);
    EXPECT_EQ(r.varbinds.size(), 1u);
    return r.varbinds.empty() ? Value{} : r.varbinds[0].value;
}

class AgentTest : public ::testing::Test {
protected:
    UsbPrinter printer{{"Model X-100", "SN0001"}};
};

TEST_F(AgentTest, EveryReadableObjectAnswersWithItsType) {
    struct Case {
        std::string_view oid;
        std::uint8_t type;
    };
    const Case cases[] = {
        {oids::kSerialNumber, kOctets},
        {oids::kStateWord, kInt},
        {oids::kSettingWord, kOctets},
        {oids::kWirelessState, kInt},
        {oids::kDot11Mode, kOctets},
        {".1.3.3.1.100.10.1.3.2", kInt},
        {".1.3.3.1.100.10.1.4.2", kIp},
        {".1.3.3.1.100.10.1.6.3", kIp},
        {".1.3.3.1.100.20.1.5.3", kInt},
        {".1.3.3.1.100.20.1.27.2", kOctets},
        {".1.3.3.1.100.20.1.30.3", kInt},
        {oids::kInfraBands, kInt},
        {oids::kInfraSsid, kOctets},
        {oids::kInfraChannel, kInt},
        {oids::kInfraAuthentication, kInt},
        {oids::kInfraEncryption, kInt},
        {oids::kInfraSupportedAuth, kInt},
        {oids::kDirectSsid, kOctets},
        {oids::kDirectAuthentication, kInt},
        {oids::kDirectEncryption, kInt},
        {oids::kDirectPassphrase, kOctets},
        {oids::kDirectAltSsid, kOctets},
        {oids::kDirectAltPassphrase, kOctets},
        {oids::kUserInfoText1, kOctets},
        {oids::kUserInfoText2, kOctets},
        {oids::kApSearchTime, kGauge},
        {oids::kApSearchCount, kInt},
        {oids::kApSearchWithParams, kOctets},
        // Write-only and unknown objects.
        {oids::kInfraPassphrase, kNoSuchObject},
        {".1.3.9.9.0", kNoSuchObject},
        {".1.3.3.1.100.10.1.4.4", kNoSuchObject},
        {".1.3.2.100.100.10.1.1.2.1", kNoSuchInstance},
        {".1.3.2.100.100.8.1.2.7.2", kNoSuchInstance},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetOne(printer, c.oid).type, c.type) << c.oid;
    }
    EXPECT_EQ(GetOne(printer, oids::kSerialNumber), TextValue("SN0001"));
    EXPECT_EQ(GetOne(printer, oids::kApSearchWithParams), TextValue("1.00"));
}

TEST_F(AgentTest, GetAnswersEveryVarbindInRequestOrder) {
    const AgentResponse r = Answer(
        printer, kGetRequest, {GetVb(oids::kInfraSsid), GetVb(".1.9"), GetVb(oids::kStateWord)});
    ASSERT_EQ(r.varbinds.size(), 3u);
    EXPECT_EQ(r.varbinds[0].oid, FullOid(oids::kInfraSsid));
    EXPECT_EQ(r.varbinds[1].value.type, kNoSuchObject);
    EXPECT_EQ(r.varbinds[2].value, IntegerValue(1));
}

TEST_F(AgentTest, SetChecksTypesAndLengthsPerObject) {
    struct Case {
        std::string_view oid;
        Value value;
        ErrorStatus status;
    };
    const Case cases[] = {
        {oids::kSettingWord, OctetIntValue(2), ErrorStatus::NoError},
        {oids::kSettingWord, IntegerValue(2), ErrorStatus::WrongType},
        {oids::kSettingWord, {kOctets, {0, 2}}, ErrorStatus::WrongLength},
        {".1.3.3.1.100.10.1.3.3", IntegerValue(0), ErrorStatus::NoError},
        {".1.3.3.1.100.10.1.3.3", GaugeValue(0), ErrorStatus::WrongType},
        {".1.3.3.1.100.10.1.3.3", {kInt, {}}, ErrorStatus::WrongLength},
        {".1.3.3.1.100.10.1.4.2", {kIp, {10, 0, 0, 1}}, ErrorStatus::NoError},
        {".1.3.3.1.100.10.1.4.2", {kIp, {10, 0, 0}}, ErrorStatus::WrongLength},
        {".1.3.3.1.100.10.1.4.2", {kOctets, {10, 0, 0, 1}}, ErrorStatus::WrongType},
        {".1.3.3.1.100.20.1.27.2", {kOctets, Bytes(16, 1)}, ErrorStatus::NoError},
        {".1.3.3.1.100.20.1.27.2", {kOctets, Bytes(4, 1)}, ErrorStatus::WrongLength},
        {oids::kInfraChannel, GaugeValue(11), ErrorStatus::NoError},
        {oids::kInfraChannel, IntegerValue(11), ErrorStatus::WrongType},
        {oids::kInfraSsid, TextValue(std::string(32, 'a')), ErrorStatus::NoError},
        {oids::kInfraSsid, TextValue(std::string(33, 'a')), ErrorStatus::WrongLength},
        {oids::kInfraPassphrase, TextValue(std::string(64, 'k')), ErrorStatus::NoError},
        {oids::kInfraPassphrase, TextValue(std::string(65, 'k')), ErrorStatus::WrongLength},
        {oids::kInfraWepKey1, TextValue(std::string(27, 'k')), ErrorStatus::WrongLength},
        {oids::kUserInfoText2, TextValue(std::string(15, 'u')), ErrorStatus::NoError},
        {oids::kUserInfoText2, TextValue(std::string(16, 'u')), ErrorStatus::WrongLength},
        {oids::kStateWord, IntegerValue(1), ErrorStatus::NotWritable},
        {oids::kInfraSupportedAuth, IntegerValue(1), ErrorStatus::NotWritable},
        {oids::kDirectSsid, TextValue("x"), ErrorStatus::NotWritable},
        {".1.3.9.9.0", IntegerValue(1), ErrorStatus::NoCreation},
        {oids::kApSearchStart, IntegerValue(3), ErrorStatus::NoError},
        {oids::kApSearchStart, IntegerValue(2), ErrorStatus::WrongValue},
        {oids::kApSearchStartWithSsid, TextValue(""), ErrorStatus::WrongLength},
        {oids::kApSearchWithParams, TextValue("<bgch-8:00000001>"), ErrorStatus::NoError},
        {oids::kApSearchWithParams, TextValue("<bgch-8:1>"), ErrorStatus::WrongValue},
    };
    for (const Case& c : cases) {
        UsbPrinter fresh{{"M", "S"}};
        const AgentResponse r = Answer(fresh, kSetRequest, {SetVb(c.oid, c.value)});
        EXPECT_EQ(r.errorStatus, static_cast<int>(c.status)) << c.oid;
        EXPECT_EQ(r.errorIndex, c.status == ErrorStatus::NoError ? 0 : 1) << c.oid;
        ASSERT_EQ(r.varbinds.size(), 1u);
        EXPECT_EQ(r.varbinds[0].value, c.value) << "a SET response echoes the request";
    }
}

TEST_F(AgentTest, SetIsAllOrNothing) {
    const AgentResponse r = Answer(
        printer, kSetRequest,
        {SetVb(oids::kInfraSsid, TextValue("home")), SetVb(oids::kStateWord, IntegerValue(5))});
    EXPECT_EQ(r.errorStatus, static_cast<int>(ErrorStatus::NotWritable));
    EXPECT_EQ(r.errorIndex, 2);
    EXPECT_EQ(GetOne(printer, oids::kInfraSsid), TextValue(""));

    const AgentResponse ok = Answer(
        printer, kSetRequest,
        {SetVb(oids::kInfraSsid, TextValue("home")), SetVb(oids::kInfraChannel, GaugeValue(6))});
    EXPECT_EQ(ok.errorStatus, 0);
    EXPECT_EQ(GetOne(printer, oids::kInfraSsid), TextValue("home"));
    EXPECT_EQ(GetOne(printer, oids::kInfraChannel), IntegerValue(6))
        << "the channel keeps its INTEGER kind for reads";
}

TEST_F(AgentTest, EmptySetAndUnknownCommands) {
    EXPECT_EQ(Answer(printer, kSetRequest, {}).errorStatus, 0);
    EXPECT_EQ(Answer(printer, 0xA1, {GetVb(oids::kStateWord)}).errorStatus,
              static_cast<int>(ErrorStatus::GenErr));
}

TEST_F(AgentTest, ModeWordFollowsTheRequestAfterTheConfiguredReads) {
    printer.Behaviour().modeChangePolls = 2;
    ASSERT_EQ(Answer(printer, kSetRequest, {SetVb(oids::kDot11Mode, OctetIntValue(4))}).errorStatus,
              0);
    EXPECT_EQ(GetOne(printer, oids::kDot11Mode), OctetIntValue(1));
    EXPECT_EQ(GetOne(printer, oids::kDot11Mode), OctetIntValue(1));
    EXPECT_EQ(GetOne(printer, oids::kDot11Mode), OctetIntValue(4));
    EXPECT_EQ(printer.RequestedDot11Mode(), 4);

    UsbPrinter stubborn{{"M", "S"}};
    stubborn.Behaviour().modeChangePolls = -1;
    Answer(stubborn, kSetRequest, {SetVb(oids::kDot11Mode, OctetIntValue(2))});
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(GetOne(stubborn, oids::kDot11Mode), OctetIntValue(1));
    }
}

AccessPoint Ap(std::string ssid, int signal) {
    return {std::move(ssid), {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}, 3, 6, 9, 4, signal, {}};
}

TEST_F(AgentTest, SearchFinishesAfterTheConfiguredPollsAndFillsTheTable) {
    printer.AddAccessPoint(Ap("alpha", 80));
    printer.AddAccessPoint(Ap("beta", 40));
    printer.Behaviour().apSearchPolls = 1;
    printer.Behaviour().modeAfterSearch = 2;

    ASSERT_EQ(
        Answer(printer, kSetRequest, {SetVb(oids::kApSearchStart, IntegerValue(3))}).errorStatus,
        0);
    EXPECT_EQ(printer.ApSearchStarts(), 1);
    EXPECT_EQ(GetOne(printer, oids::kApSearchTime), GaugeValue(0));
    EXPECT_EQ(GetOne(printer, oids::kApSearchCount), IntegerValue(0));
    EXPECT_EQ(GetOne(printer, oids::kApSearchTime), GaugeValue(1));
    EXPECT_EQ(GetOne(printer, oids::kApSearchCount), IntegerValue(2));
    EXPECT_EQ(GetOne(printer, oids::kDot11Mode), OctetIntValue(2));

    const std::string row2 = std::string(oids::kApSearchResultTable);
    EXPECT_EQ(GetOne(printer, row2 + ".2.2"), TextValue("beta"));
    EXPECT_EQ(GetOne(printer, row2 + ".3.1").bytes, (Bytes{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}));
    EXPECT_EQ(GetOne(printer, row2 + ".4.1"), IntegerValue(3));
    EXPECT_EQ(GetOne(printer, row2 + ".5.1"), IntegerValue(6));
    EXPECT_EQ(GetOne(printer, row2 + ".6.1"), IntegerValue(9));
    EXPECT_EQ(GetOne(printer, row2 + ".7.1"), IntegerValue(4));
    EXPECT_EQ(GetOne(printer, row2 + ".8.1"), IntegerValue(80));
    EXPECT_EQ(GetOne(printer, row2 + ".8.3").type, kNoSuchInstance);
    EXPECT_EQ(GetOne(printer, row2 + ".9.1").type, kNoSuchInstance);
    EXPECT_EQ(GetOne(printer, row2 + ".2.0").type, kNoSuchInstance);
}

TEST_F(AgentTest, SearchStartsRecordTheirKind) {
    Answer(printer, kSetRequest, {SetVb(oids::kApSearchStartWithSsid, TextValue("home"))});
    EXPECT_EQ(printer.LastApSearch().kind, ApSearchStart::Kind::WithSsid);
    EXPECT_EQ(printer.LastApSearch().text, "home");
    Answer(printer, kSetRequest,
           {SetVb(oids::kApSearchWithParams, TextValue("<bgch-8:00000001><ssid-3:abc>"))});
    EXPECT_EQ(printer.LastApSearch().kind, ApSearchStart::Kind::WithParams);
    EXPECT_EQ(printer.LastApSearch().text, "<bgch-8:00000001><ssid-3:abc>");
    EXPECT_EQ(GetOne(printer, oids::kApSearchWithParams), TextValue("1.00"))
        << "the parameter object reads back its version text";
    EXPECT_EQ(printer.ApSearchStarts(), 2);
}

TEST_F(AgentTest, SupportTableRowsByModeAndFlags) {
    printer.ClearSupport();
    printer.SetSupport(1, 0x06, 1);
    printer.SetSupport(4, -1, 0);
    const std::string table(oids::kApSearchSupportTable);
    EXPECT_EQ(GetOne(printer, table + ".1.6"), IntegerValue(1));
    EXPECT_EQ(GetOne(printer, table + ".1.2").type, kNoSuchInstance);
    EXPECT_EQ(GetOne(printer, table + ".4.126"), IntegerValue(0));
    EXPECT_EQ(GetOne(printer, table + ".4").type, kNoSuchInstance);
}

TEST(SearchParamText, Shapes) {
    struct Case {
        std::string_view text;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {"<bgch-8:00000001>", true},
        {"<bgch-8:0000000F><ach-8:00000001><ssid-3:abc><bssid-12:001a2b3c4d5e>", true},
        {"<ach-8:00000001><ssid-4:a>bc>", true},
        {"<ssid-3:abc><bgch-8:00000001>", false},
        {"<bgch-8:0000000f>", false},
        {"<ssid-4:abc>", false},
        {"<ssid-0:>", false},
        {"<ssid-3:abc>x", false},
        {"<bgch-8:00000001", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidSearchParamText(c.text), c.valid) << c.text;
    }
}

} // namespace
} // namespace vtwidussim

namespace vtwidussim {
namespace {

TEST(SharedIdentity, TheSerialObjectShowsTheSharedModel) {
    auto model = std::make_shared<printersim::SharedPrinter>();
    UsbPrinter printer(model);
    EXPECT_EQ(printer.Identity().modelName, model->snapshot().model);
    model->with([](printersim::PrinterModel& m) { m.serial = "CHANGED1"; });
    EXPECT_EQ(GetOne(printer, oids::kSerialNumber), TextValue("CHANGED1"));
    printer.SetSerialNumber("CHANGED2");
    EXPECT_EQ(model->snapshot().serial, "CHANGED2");
    EXPECT_EQ(printer.Identity().serialNumber, "CHANGED2");
}

} // namespace
} // namespace vtwidussim
