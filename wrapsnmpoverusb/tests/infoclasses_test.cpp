// The six settings groups: their OIDs, GET decoding, SET of changed fields, bounded texts.
#include "directinfo.h"
#include "fake_vtwidus.h"
#include "infrainfo.h"
#include "infrasupportauthinfo.h"
#include "packet.h"
#include "stateinfo.h"
#include "userinfostringinfo.h"
#include "wiredinfo.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vtwidwus::test {
namespace {

const std::string kArc = "1.3.6.1.4.1.58217";

class InfoClassTest : public ::testing::Test {
protected:
    // The varbinds that a slot adds to a fresh request.
    template <typename Slot> std::vector<FakeVarbind> Request(Slot slot, bool* ok = nullptr) {
        unique_packet p = MakePacket();
        const bool result = slot(p.get());
        if (ok != nullptr) {
            *ok = result;
        }
        return static_cast<FakePacket*>(p.get())->varbinds;
    }
    // Answers a GET of the object from the fake printer's mib and decodes it.
    bool Read(AOidInfo& info) {
        FakePacket request;
        request.command = VTWIDUS_COMMAND_GET;
        request.varbinds = Request([&](VTWIDUS_PACKET p) { return info.SetOidOfGetRequest(p); });
        FakePacket response;
        fake_.Answer(request, response);
        return info.GetOidOfGetRequest(&response);
    }
    std::vector<FakeVarbind> SetRequest(AOidInfo& info, bool* ok = nullptr) {
        return Request([&](VTWIDUS_PACKET p) { return info.SetOidOfSetRequest(p); }, ok);
    }

    FakeVtwidus fake_;
    TraceCapture traces_;
};

std::vector<std::string> Oids(const std::vector<FakeVarbind>& v) {
    std::vector<std::string> oids;
    for (const FakeVarbind& b : v) {
        oids.push_back(b.oid);
    }
    return oids;
}

TEST_F(InfoClassTest, EveryGroupAsksForItsOidsInTableOrder) {
    CStateInfo state;
    CWiredInfo wired;
    CInfraInfo infra;
    CDirectInfo direct;
    CUserInfoStringInfo user;
    CInfraSupportAuthInfo auth;
    struct Case {
        const char* name;
        AOidInfo* info;
        std::size_t count;
        std::vector<std::pair<std::size_t, std::string>> spot;
    } cases[] = {
        {"state", &state, 4, {{0, ".1.3.1.10.0"}, {1, ".1.3.1.11.0"}, {3, ".1.3.2.100.2.0"}}},
        {"wired",
         &wired,
         13,
         {{1, ".1.3.3.1.100.10.1.3.2"},
          {2, ".1.3.3.1.100.10.1.4.2"},
          {9, ".1.3.3.1.100.20.1.27.2"},
          {12, ".1.3.3.1.100.20.1.30.2"}}},
        {"infra",
         &infra,
         19,
         {{1, ".1.3.2.100.2.0"},
          {2, ".1.3.3.1.100.10.1.3.3"},
          {14, ".1.3.2.100.10.1.0"},
          {15, ".1.3.2.100.10.3.0"},
          {18, ".1.3.2.100.10.5.0"}}},
        {"direct",
         &direct,
         9,
         {{2, ".1.3.2.100.1.0"}, {3, ".1.3.2.100.11.3.0"}, {8, ".1.3.2.100.13.110.0"}}},
        {"user", &user, 2, {{0, ".1.2.2.4.0"}, {1, ".1.2.2.5.0"}}},
        {"support auth", &auth, 1, {{0, ".1.3.2.100.10.11.0"}}},
    };
    for (Case& c : cases) {
        const auto sent = Request([&](VTWIDUS_PACKET p) { return c.info->SetOidOfGetRequest(p); });
        ASSERT_EQ(sent.size(), c.count) << c.name;
        for (const FakeVarbind& v : sent) {
            EXPECT_EQ(v.type, VTWIDUS_TYPE_NULL) << c.name;
        }
        for (const auto& [index, suffix] : c.spot) {
            EXPECT_EQ(sent[index].oid, kArc + suffix) << c.name << " #" << index;
        }
    }
}

TEST_F(InfoClassTest, InfraReadFillsTheRecordAndTextsAreBounded) {
    fake_.mib[kArc + ".1.3.1.11.0"] = OctetsValue(kArc + ".1.3.1.11.0", {0, 0, 0, 2});
    fake_.mib[kArc + ".1.3.2.100.2.0"] = IntegerValue(kArc + ".1.3.2.100.2.0", 4);
    fake_.mib[kArc + ".1.3.3.1.100.10.1.4.3"] =
        FakeVarbind{kArc + ".1.3.3.1.100.10.1.4.3", VTWIDUS_TYPE_IPADDRESS, {192, 168, 0, 7}};
    std::vector<std::uint8_t> v6(16, 0);
    v6[0] = 0xfe;
    v6[1] = 0x80;
    v6[15] = 9;
    fake_.mib[kArc + ".1.3.3.1.100.20.1.27.3"] = OctetsValue(kArc + ".1.3.3.1.100.20.1.27.3", v6);
    // A name longer than the field is cut to 32 characters.
    fake_.mib[kArc + ".1.3.2.100.10.3.0"] =
        TextValue(kArc + ".1.3.2.100.10.3.0", std::string(40, 'n'));
    fake_.mib[kArc + ".1.3.2.100.10.5.0"] = IntegerValue(kArc + ".1.3.2.100.10.5.0", 11);
    fake_.mib[kArc + ".1.3.2.100.10.6.0"] = NoSuchObject(kArc + ".1.3.2.100.10.6.0");

    CInfraInfo infra;
    ASSERT_TRUE(Read(infra));
    tagUsbSnmpInfraInfo out;
    std::memset(&out, 0x55, sizeof out);
    infra.GetInfoTagData(&out);
    EXPECT_EQ(out.networkSelect_, 2);
    EXPECT_EQ(out.dot11Mode_, 4);
    EXPECT_STREQ(out.ipv4Address_, "192.168.0.7");
    EXPECT_STREQ(out.ipv4SubnetMask_, ""); // no such object: empty
    EXPECT_STREQ(out.ipv6Address_, "fe80::9");
    EXPECT_EQ(std::string(out.ssid_), std::string(32, 'n'));
    EXPECT_EQ(out.channel_, 11);
    EXPECT_EQ(out.authentication_, -3);
    EXPECT_EQ(out.wepKeyIndex_, -1); // never read
    EXPECT_EQ(out.networkKey_[0], '\0');
    EXPECT_EQ(reinterpret_cast<unsigned char*>(&out)[217], 0) << "padding is zero";
}

TEST_F(InfoClassTest, AResponseWithOneKnownOidChangesOnlyThatMember) {
    CStateInfo state;
    FakePacket response;
    response.varbinds = {IntegerValue(kArc + ".1.3.2.100.2.0", 6), IntegerValue("1.2.3", 9)};
    ASSERT_TRUE(state.GetOidOfGetRequest(&response));
    EXPECT_EQ(state.Values().dot11Mode_, 6);
    EXPECT_EQ(state.Values().networkState_, -1);

    FakePacket unrelated;
    unrelated.varbinds = {IntegerValue("1.2.3", 9)};
    EXPECT_FALSE(state.GetOidOfGetRequest(&unrelated));
    EXPECT_TRUE(traces_.Contains(3, "GetOidOfGetRequest:getItemCount"));
    EXPECT_EQ(state.Values().dot11Mode_, 6);
}

TEST_F(InfoClassTest, SetSendsOnlyChangedFieldsAndTheInfraChannelAlways) {
    CInfraInfo read;
    read.Values().channel_ = 6;
    read.Values().authentication_ = 10;
    std::strcpy(read.Values().ssid_, "home");

    struct Case {
        const char* name;
        void (*change)(tagUsbSnmpInfraInfo&);
        std::vector<std::string> oids;
        std::vector<std::uint8_t> authSent; // value of the authentication varbind, if sent
    } cases[] = {
        {"unchanged", [](tagUsbSnmpInfraInfo&) {}, {kArc + ".1.3.2.100.10.5.0"}, {}},
        {"ssid",
         [](tagUsbSnmpInfraInfo& r) { std::strcpy(r.ssid_, "office"); },
         {kArc + ".1.3.2.100.10.3.0", kArc + ".1.3.2.100.10.5.0"},
         {}},
        {"auth 7 is 10, as read",
         [](tagUsbSnmpInfraInfo& r) { r.authentication_ = 7; },
         {kArc + ".1.3.2.100.10.5.0"},
         {}},
        {"auth 9 becomes 11",
         [](tagUsbSnmpInfraInfo& r) { r.authentication_ = 9; },
         {kArc + ".1.3.2.100.10.6.0", kArc + ".1.3.2.100.10.5.0"},
         {0, 0, 0, 11}},
        {"auth 8 becomes 11",
         [](tagUsbSnmpInfraInfo& r) { r.authentication_ = 8; },
         {kArc + ".1.3.2.100.10.6.0", kArc + ".1.3.2.100.10.5.0"},
         {0, 0, 0, 11}},
        {"mode and key",
         [](tagUsbSnmpInfraInfo& r) {
             r.dot11Mode_ = 4;
             std::strcpy(r.networkKey_, "secret");
         },
         {kArc + ".1.3.2.100.2.0", kArc + ".1.3.2.100.10.110.0", kArc + ".1.3.2.100.10.5.0"},
         {}},
    };
    for (const Case& c : cases) {
        tagUsbSnmpInfraInfo record{};
        read.GetInfoTagData(&record);
        c.change(record);
        CInfraInfo infra;
        infra.SetInfoTagData(&record);
        ASSERT_TRUE(infra.SetOrgInstance(&read)) << c.name;
        bool ok = false;
        const auto sent = SetRequest(infra, &ok);
        ASSERT_TRUE(ok) << c.name;
        EXPECT_EQ(Oids(sent), c.oids) << c.name;
        EXPECT_EQ(sent.back().type, VTWIDUS_TYPE_GAUGE32) << c.name;
        EXPECT_EQ(sent.back().value, (std::vector<std::uint8_t>{0, 0, 0, 6})) << c.name;
        if (!c.authSent.empty()) {
            EXPECT_EQ(sent[0].type, VTWIDUS_TYPE_INTEGER) << c.name;
            EXPECT_EQ(sent[0].value, c.authSent) << c.name;
        }
    }
}

TEST_F(InfoClassTest, StateSetTakesOnlyItsTwoSettableValuesAsOctets) {
    CStateInfo read;
    read.Values() = {1, 2, 3, 4};
    CStateInfo state = read;
    tagUsbSnmpStateInfo caller{9, 2, 9, 4};
    state.SetInfoTagData(&caller);
    EXPECT_EQ(state.Values().networkState_, 1);
    EXPECT_EQ(state.Values().dot11State_, 3);
    ASSERT_TRUE(state.SetOrgInstance(&read));
    bool ok = false;
    EXPECT_TRUE(SetRequest(state, &ok).empty()) << "nothing changed: no varbinds";
    EXPECT_TRUE(ok);

    caller.dot11Mode_ = 258;
    state.SetInfoTagData(&caller);
    const auto sent = SetRequest(state, &ok);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].oid, kArc + ".1.3.2.100.2.0");
    EXPECT_EQ(sent[0].type, VTWIDUS_TYPE_OCTET_STRING);
    EXPECT_EQ(sent[0].value, (std::vector<std::uint8_t>{0, 0, 1, 2}));
}

TEST_F(InfoClassTest, CallerTextIsReadNoFurtherThanItsField) {
    tagUsbSnmpUserInfoStringInfo caller;
    std::memset(&caller, 'x', sizeof caller); // no terminator anywhere
    CUserInfoStringInfo user;
    user.SetInfoTagData(&caller);
    EXPECT_EQ(std::string(user.Values().userInfoString1_), std::string(64, 'x'));
    EXPECT_EQ(std::string(user.Values().userInfoString2_), std::string(15, 'x'));
    const auto sent = SetRequest(user);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].value.size(), 64u);
    EXPECT_EQ(sent[1].value.size(), 15u);
}

TEST_F(InfoClassTest, WiredSetWithAChangedEmptyAddressFails) {
    CWiredInfo read;
    std::strcpy(read.Values().ipv4Address_, "10.0.0.2");
    CWiredInfo wired = read;
    wired.Values().ipv4Address_[0] = '\0';
    ASSERT_TRUE(wired.SetOrgInstance(&read));
    bool ok = true;
    SetRequest(wired, &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(traces_.Contains(3, "SetOidOfSetRequest:AddSetRequestOidIpAddrValue()"));
}

TEST_F(InfoClassTest, BeforeValuesMustBeOfTheSameClassAndSupportAuthIsReadOnly) {
    CInfraInfo infra;
    CDirectInfo direct;
    EXPECT_FALSE(infra.SetOrgInstance(&direct));
    EXPECT_FALSE(infra.SetOrgInstance(nullptr));
    EXPECT_TRUE(traces_.Contains(3, "SetOrgInstance:param"));

    CInfraSupportAuthInfo auth;
    CInfraSupportAuthInfo other;
    EXPECT_FALSE(auth.SetOrgInstance(&other));
    tagUsbSnmpInfraSupportAuthInfo caller{5};
    auth.SetInfoTagData(&caller);
    EXPECT_EQ(auth.Values().supportAuthentication_, -1);
    bool ok = true;
    EXPECT_TRUE(SetRequest(auth, &ok).empty());
    EXPECT_FALSE(ok);
}

} // namespace
} // namespace vtwidwus::test
