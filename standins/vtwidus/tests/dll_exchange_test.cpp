// Exchanges with the simulated printers through vtwidus.dll: packets, GET and SET, faults.
#include "dll_fixture.h"

#include <future>
#include <thread>

namespace vtwidussim::test {
namespace {

class ExchangeTest : public DllTest {
protected:
    void SetUp() override {
        DllTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        sim_->AddPrinter("Model A", "S1");
        sim_->AddPrinter("Model B", "S2");
        ASSERT_EQ(api_.Search(&list_), 2);
        usb_ = Open(0);
        ASSERT_NE(usb_, nullptr);
        ASSERT_EQ(api_.DiscoveryV3(usb_), 0);
    }
    void AddFault(VTWIDUSSIM_Fault f) { ASSERT_GE(sim_->AddFault(&f), 0); }

    VTWIDUS_USB_INSTANCE usb_ = nullptr;
};

const std::uint8_t kWord2[] = {0, 0, 0, 2};
const std::uint8_t kChannel6[] = {6};

TEST_F(ExchangeTest, GetAnswersInRequestOrderAndIsJournaled) {
    std::vector<Answered> out;
    int status = -1;
    ASSERT_EQ(
        Get(usb_, {Full(".1.3.1.10.0"), Full(".1.2.1.8.1.3.1.1"), Full(".1.9.9")}, &out, &status),
        0);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].oid, Full(".1.3.1.10.0"));
    EXPECT_EQ(out[0].type, VTWIDUS_TYPE_INTEGER);
    EXPECT_EQ(std::string(out[1].bytes.begin(), out[1].bytes.end()), "S1");
    EXPECT_EQ(out[2].type, VTWIDUS_TYPE_NOSUCHOBJECT);
    EXPECT_TRUE(out[2].bytes.empty());
    ASSERT_EQ(sim_->GetJournalCount(), 1);
    EXPECT_EQ(sim_.JournalLine(0), "S1 GET .1.3.1.10.0 .1.2.1.8.1.3.1.1 .1.9.9");
}

TEST_F(ExchangeTest, SetChangesThePrinterAndIsJournaledWithValues) {
    const std::string word = Full(".1.3.1.11.0");
    const std::string channel = Full(".1.3.2.100.10.5.0");
    int status = -1;
    ASSERT_EQ(Set(usb_,
                  {{word.c_str(), VTWIDUS_TYPE_OCTET_STRING, {4, kWord2}},
                   {channel.c_str(), VTWIDUS_TYPE_GAUGE32, {1, kChannel6}}},
                  &status),
              0);
    EXPECT_EQ(status, 0);
    int value = 0;
    EXPECT_EQ(sim_->GetInt(0, ".1.3.1.11.0", &value), 0);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(sim_->GetInt(0, ".1.3.2.100.10.5.0", &value), 0);
    EXPECT_EQ(value, 6);
    EXPECT_EQ(sim_.JournalLine(0), "S1 SET .1.3.1.11.0=x:00000002 .1.3.2.100.10.5.0=g:6");

    ASSERT_EQ(Set(usb_, {}, &status), 0);
    EXPECT_EQ(status, 0) << "a SET without varbinds is answered";
    EXPECT_EQ(sim_.JournalLine(1), "S1 SET");
}

TEST_F(ExchangeTest, RefusedSetChangesNothing) {
    const std::string ssid = Full(".1.3.2.100.10.3.0");
    const std::string state = Full(".1.3.1.10.0");
    const std::uint8_t home[] = {'h', 'o', 'm', 'e'};
    int status = -1;
    int index = -1;
    ASSERT_EQ(Set(usb_,
                  {{ssid.c_str(), VTWIDUS_TYPE_OCTET_STRING, {4, home}},
                   {state.c_str(), VTWIDUS_TYPE_INTEGER, {1, kChannel6}}},
                  &status, &index),
              0);
    EXPECT_EQ(status, 17) << "notWritable";
    EXPECT_EQ(index, 2);
    char text[40] = "x";
    EXPECT_EQ(sim_->GetText(0, ".1.3.2.100.10.3.0", text, sizeof text), 0);
    EXPECT_STREQ(text, "");
}

TEST_F(ExchangeTest, PacketAndExchangeArgumentChecks) {
    VTWIDUS_PACKET p = api_.CreatePacket(VTWIDUS_PACKET_VERSION_3);
    VTWIDUS_PACKET q = api_.CreatePacket(VTWIDUS_PACKET_VERSION_3);
    const VTWIDUS_VARBIND badOid{"1.3.x", VTWIDUS_TYPE_NULL, {0, nullptr}};
    const VTWIDUS_VARBIND noOid{nullptr, VTWIDUS_TYPE_NULL, {0, nullptr}};
    const VTWIDUS_VARBIND noBytes{"1.3.6", VTWIDUS_TYPE_INTEGER, {2, nullptr}};
    const VTWIDUS_VARBIND* vb = nullptr;
    struct Case {
        const char* what;
        int result;
        int expected;
    };
    const Case cases[] = {
        {"AddOid bad OID text", api_.AddOid(p, &badOid), VTWIDUS_ERROR_CODE_ENCODE},
        {"AddOid null OID", api_.AddOid(p, &noOid), VTWIDUS_ERROR_CODE_PARAM},
        {"AddOid null value", api_.AddOid(p, &noBytes), VTWIDUS_ERROR_CODE_PARAM},
        {"AddOid null varbind", api_.AddOid(p, nullptr), VTWIDUS_ERROR_CODE_PARAM},
        {"GetOid of an empty packet", api_.GetOid(p, 0, &vb), VTWIDUS_ERROR_CODE_NOT_FOUND},
        {"GetOid negative index", api_.GetOid(p, -1, &vb), VTWIDUS_ERROR_CODE_NOT_FOUND},
        {"SetCommand response tag", api_.SetCommand(p, 0x30), VTWIDUS_ERROR_CODE_PARAM},
        {"Comm without command", api_.Comm(usb_, p, q), VTWIDUS_ERROR_CODE_ENCODE},
        {"Comm into its request", api_.Comm(usb_, p, p), VTWIDUS_ERROR_CODE_PARAM},
        {"Comm null instance", api_.Comm(nullptr, p, q), VTWIDUS_ERROR_CODE_PARAM},
        {"SetCommunityName null", api_.SetCommunityName(p, nullptr), VTWIDUS_ERROR_CODE_PARAM},
        {"GetErrorStatus null out", api_.GetErrorStatus(p, nullptr), VTWIDUS_ERROR_CODE_PARAM},
        {"SetRequestId null packet", api_.SetRequestId(nullptr, 1), VTWIDUS_ERROR_CODE_PARAM},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, c.expected) << c.what;
    }
    EXPECT_EQ(api_.CreatePacket(2), nullptr) << "only SNMPv3 packets";
    EXPECT_EQ(api_.GetOidCount(nullptr), 0);
    EXPECT_EQ(api_.DestroyPacket(nullptr), 0);
    EXPECT_EQ(api_.DestroyPacket(p), 0);
    EXPECT_EQ(api_.DestroyPacket(p), VTWIDUS_ERROR_CODE_PARAM);
    EXPECT_EQ(api_.SetCommand(p, VTWIDUS_COMMAND_GET), VTWIDUS_ERROR_CODE_PARAM);
    api_.DestroyPacket(q);
}

TEST_F(ExchangeTest, ResponseCarriesTheRequestIds) {
    VTWIDUS_PACKET req = api_.CreatePacket(VTWIDUS_PACKET_VERSION_3);
    VTWIDUS_PACKET resp = api_.CreatePacket(VTWIDUS_PACKET_VERSION_3);
    api_.SetCommand(req, VTWIDUS_COMMAND_GET);
    api_.SetRequestId(req, 77);
    api_.SetMsgId(req, 78);
    ASSERT_EQ(api_.Comm(usb_, req, resp), 0);
    std::int32_t id = 0;
    std::uint8_t command = 0;
    EXPECT_EQ(api_.GetRequestId(resp, &id), 0);
    EXPECT_EQ(id, 77);
    EXPECT_EQ(api_.GetMsgId(resp, &id), 0);
    EXPECT_EQ(id, 78);
    EXPECT_EQ(api_.GetCommand(resp, &command), 0);
    EXPECT_EQ(command, VTWIDUS_COMMAND_RESPONSE);
    api_.DestroyPacket(req);
    api_.DestroyPacket(resp);
}

TEST_F(ExchangeTest, IntegerCodecs) {
    VTWIDUS_PACKET p = api_.CreatePacket(VTWIDUS_PACKET_VERSION_3);
    const VTWIDUS_OCTETS* pair = nullptr;
    ASSERT_EQ(api_.IntToOctets(p, 258, &pair), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(pair->value_, pair->value_ + pair->length_),
              (std::vector<std::uint8_t>{0x01, 0x02}));
    ASSERT_EQ(api_.UnsignedIntToOctets(p, 0x80000000u, &pair), 0);
    EXPECT_EQ(pair->length_, 5u);

    struct Case {
        std::vector<std::uint8_t> bytes;
        int result;
        std::int32_t value;
    };
    const Case cases[] = {
        {{0xFF}, 0, -1},
        {{0x00, 0x00, 0x01, 0x02}, 0, 258},
        {{}, VTWIDUS_ERROR_CODE_DECODE, 0},
        {{1, 2, 3, 4, 5}, VTWIDUS_ERROR_CODE_DECODE, 0},
    };
    for (const Case& c : cases) {
        const VTWIDUS_OCTETS octets{static_cast<std::uint32_t>(c.bytes.size()),
                                    c.bytes.empty() ? nullptr : c.bytes.data()};
        std::int32_t v = 0;
        EXPECT_EQ(api_.OctetsToInt(p, &octets, &v), c.result);
        if (c.result == 0) {
            EXPECT_EQ(v, c.value);
        }
    }
    const std::uint8_t big[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    const VTWIDUS_OCTETS five{5, big};
    std::uint32_t u = 0;
    EXPECT_EQ(api_.OctetsToUnsignedInt(p, &five, &u), 0);
    EXPECT_EQ(u, 0xFFFFFFFFu);
    api_.DestroyPacket(p);
}

TEST_F(ExchangeTest, CommNeedsADiscoveryFirst) {
    VTWIDUS_USB_INSTANCE other = Open(1);
    std::vector<Answered> out;
    EXPECT_EQ(Get(other, {Full(".1.3.1.10.0")}, &out), VTWIDUS_ERROR_CODE_FAILED);
    EXPECT_EQ(api_.DiscoveryV3(other), 0);
    EXPECT_EQ(Get(other, {Full(".1.3.1.10.0")}, &out), 0);
    EXPECT_EQ(sim_.JournalLine(0), "S2 GET .1.3.1.10.0");
}

TEST_F(ExchangeTest, ResponseFaults) {
    const std::string a = Full(".1.3.1.10.0");
    const std::string b = Full(".1.3.2.100.1.0");
    struct Case {
        int action;
        int value;
        std::size_t varbinds;
        int typeOfB;
        std::size_t lengthOfB;
        int status;
    };
    const Case cases[] = {
        {VTWIDUSSIM_ACTION_NO_SUCH_OBJECT, 0, 2, VTWIDUS_TYPE_NOSUCHOBJECT, 0, 0},
        {VTWIDUSSIM_ACTION_NO_SUCH_INSTANCE, 0, 2, VTWIDUS_TYPE_NOSUCHINSTANCE, 0, 0},
        {VTWIDUSSIM_ACTION_EMPTY_VALUE, 0, 2, VTWIDUS_TYPE_INTEGER, 0, 0},
        {VTWIDUSSIM_ACTION_OMIT_VARBIND, 0, 1, -1, 0, 0},
        {VTWIDUSSIM_ACTION_ERROR_STATUS, 5, 2, VTWIDUS_TYPE_NULL, 0, 5},
    };
    for (const Case& c : cases) {
        sim_->ClearFaults();
        auto f = Client::Fault(VTWIDUSSIM_ENTRY_Comm, c.action, c.value);
        f.oid = ".1.3.2.100.1.0";
        AddFault(f);
        std::vector<Answered> out;
        int status = -1;
        ASSERT_EQ(Get(usb_, {a, b}, &out, &status), 0) << c.action;
        EXPECT_EQ(status, c.status) << c.action;
        ASSERT_EQ(out.size(), c.varbinds) << c.action;
        EXPECT_EQ(out[0].oid, a);
        if (c.varbinds == 2) {
            EXPECT_EQ(out[1].type, c.typeOfB) << c.action;
            EXPECT_EQ(out[1].bytes.size(), c.lengthOfB) << c.action;
        }
        // The next exchange is clean again.
        ASSERT_EQ(Get(usb_, {a, b}, &out, &status), 0);
        EXPECT_EQ(out.size(), 2u);
        EXPECT_EQ(out[1].type, VTWIDUS_TYPE_INTEGER);
    }
}

TEST_F(ExchangeTest, ErrorStatusNamesTheVarbindAndChangesNothing) {
    auto f = Client::Fault(VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_ERROR_STATUS, 10);
    f.oid = ".1.3.2.100.10.5.0";
    f.command = VTWIDUS_COMMAND_SET;
    AddFault(f);
    const std::string word = Full(".1.3.1.11.0");
    const std::string channel = Full(".1.3.2.100.10.5.0");
    int status = -1;
    int index = -1;
    ASSERT_EQ(Set(usb_,
                  {{word.c_str(), VTWIDUS_TYPE_OCTET_STRING, {4, kWord2}},
                   {channel.c_str(), VTWIDUS_TYPE_GAUGE32, {1, kChannel6}}},
                  &status, &index),
              0);
    EXPECT_EQ(status, 10);
    EXPECT_EQ(index, 2);
    int value = 0;
    sim_->GetInt(0, ".1.3.1.11.0", &value);
    EXPECT_EQ(value, 1);
}

TEST_F(ExchangeTest, ReturnFaultsBySkipTimesPrinterAndCommand) {
    auto f = Client::Fault(VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_RETURN,
                           VTWIDUS_ERROR_CODE_TOO_MATCH_SESSIONS, 2);
    f.skip = 1;
    f.printer = 0;
    f.command = VTWIDUS_COMMAND_GET;
    AddFault(f);
    const std::vector<std::string> oid{Full(".1.3.1.10.0")};
    std::vector<Answered> out;
    std::vector<int> results;
    for (int i = 0; i < 4; ++i) {
        results.push_back(Get(usb_, oid, &out));
    }
    EXPECT_EQ(results, (std::vector<int>{0, -12, -12, 0}));
    EXPECT_EQ(sim_->GetJournalCount(), 2) << "refused requests never reached the printer";
    EXPECT_EQ(sim_->GetCallCount(VTWIDUSSIM_ENTRY_Comm), 4);
}

TEST_F(ExchangeTest, DelaysCostSimulatedTimeAndTimeOutAtTheUsbTimeout) {
    ASSERT_EQ(api_.SetUsbTimeout(usb_, 1000), 0);
    AddFault(Client::Fault(VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_DELAY, 999));
    auto second = Client::Fault(VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_DELAY, 1000);
    second.skip = 1;
    AddFault(second);
    AddFault(Client::Fault(VTWIDUSSIM_ENTRY_DiscoveryV3, VTWIDUSSIM_ACTION_DELAY, 5000));
    const std::vector<std::string> oid{Full(".1.3.1.10.0")};
    std::vector<Answered> out;
    EXPECT_EQ(Get(usb_, oid, &out), 0);
    EXPECT_EQ(sim_->GetSimulatedTimeMs(), 999);
    EXPECT_EQ(Get(usb_, oid, &out), VTWIDUS_ERROR_CODE_RECEIVE_TIMEOUT);
    EXPECT_EQ(sim_->GetSimulatedTimeMs(), 1999);
    EXPECT_EQ(api_.DiscoveryV3(usb_), VTWIDUS_ERROR_CODE_RECEIVE_TIMEOUT);
    EXPECT_EQ(sim_->GetSimulatedTimeMs(), 2999);
    EXPECT_EQ(sim_->GetJournalCount(), 1);
}

TEST_F(ExchangeTest, BlockedCallWaitsUntilReleased) {
    AddFault(Client::Fault(VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_BLOCK,
                           VTWIDUS_ERROR_CODE_CONNECTION));
    auto running = std::async(std::launch::async, [this] {
        std::vector<Answered> out;
        return Get(usb_, {Full(".1.3.1.10.0")}, &out);
    });
    ASSERT_EQ(sim_->WaitForBlocked(1, 10000), 1);
    EXPECT_EQ(running.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    // The library stays usable by other threads while one call is held.
    VTWIDUS_PACKET p = api_.CreatePacket(VTWIDUS_PACKET_VERSION_3);
    api_.DestroyPacket(p);
    sim_->ReleaseBlocked();
    EXPECT_EQ(running.get(), VTWIDUS_ERROR_CODE_CONNECTION);
}

TEST_F(ExchangeTest, AccessPointSearchThroughTheLibrary) {
    const std::uint8_t bssid[] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
    const VTWIDUSSIM_AccessPoint ap{"home", bssid, 6, 3, 11, 10, 4, 70};
    ASSERT_EQ(sim_->AddAccessPoint(0, &ap), 0);
    ASSERT_EQ(sim_->SetBehaviour(0, VTWIDUSSIM_BEHAVIOUR_APSEARCH_POLLS, 2), 0);

    const std::string start = Full(".1.3.2.100.100.9.0");
    const std::string text = "<bgch-8:00000001><ssid-4:home>";
    const VTWIDUS_VARBIND set{start.c_str(),
                              VTWIDUS_TYPE_OCTET_STRING,
                              {static_cast<std::uint32_t>(text.size()),
                               reinterpret_cast<const std::uint8_t*>(text.data())}};
    int status = -1;
    ASSERT_EQ(Set(usb_, {set}, &status), 0);
    ASSERT_EQ(status, 0);
    char last[80] = {};
    sim_->GetLastApSearch(0, last, sizeof last);
    EXPECT_EQ(std::string(last), "params:" + text);

    std::vector<int> times;
    for (int i = 0; i < 3; ++i) {
        times.push_back(GetInt(usb_, Full(".1.3.2.100.100.3.0")));
    }
    EXPECT_EQ(times, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(GetInt(usb_, Full(".1.3.2.100.100.5.0")), 1);
    EXPECT_EQ(GetInt(usb_, Full(".1.3.2.100.100.10.1.1.8.1")), 70);
    std::vector<Answered> out;
    ASSERT_EQ(Get(usb_, {Full(".1.3.2.100.100.10.1.1.3.1")}, &out), 0);
    EXPECT_EQ(out[0].bytes, std::vector<std::uint8_t>(bssid, bssid + 6));
}

} // namespace
} // namespace vtwidussim::test
