// The objects of an access-point search: result rows and windows, time and count, the start
// requests, the parameter text and the support table.
#include "apsearchexecuteinfo.h"
#include "apsearchexecutewithparamsinfo.h"
#include "apsearchexecutewithssidinfo.h"
#include "apsearchresultlistinfo.h"
#include "apsearchtimeandcountinfo.h"
#include "fake_vtwidus.h"
#include "packet.h"
#include "serialinfo.h"
#include "supportapsearchwithparamsinfo.h"

#include <gtest/gtest.h>

namespace vtwidwus::test {
namespace {

const std::string kArc = "1.3.6.1.4.1.58217";

class SearchObjectTest : public ::testing::Test {
protected:
    template <typename Slot> std::vector<FakeVarbind> Request(Slot slot, bool* ok = nullptr) {
        unique_packet p = MakePacket();
        const bool result = slot(p.get());
        if (ok != nullptr) {
            *ok = result;
        }
        return static_cast<FakePacket*>(p.get())->varbinds;
    }

    FakeVtwidus fake_;
    TraceCapture traces_;
};

TEST_F(SearchObjectTest, ResultRowAsksForItsSevenColumns) {
    CApSearchResultInfo row(12);
    const auto sent = Request([&](VTWIDUS_PACKET p) { return row.SetOidOfGetRequest(p); });
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_EQ(sent.front().oid, kArc + ".1.3.2.100.100.10.1.1.2.12");
    EXPECT_EQ(sent.back().oid, kArc + ".1.3.2.100.100.10.1.1.8.12");
}

TEST_F(SearchObjectTest, ResultListReadsAndCopiesItsWindow) {
    CApSearchResultListInfo list;
    list.ResetRows(13);
    for (int r = 1; r <= 13; ++r) {
        const std::string row = "." + std::to_string(r);
        const std::string base = kArc + ".1.3.2.100.100.10.1.1.";
        fake_.mib[base + "2" + row] = TextValue(base + "2" + row, "net" + std::to_string(r));
        fake_.mib[base + "3" + row] = OctetsValue(base + "3" + row, {0, 0x1b, 0xa9, 1, 2, 3});
        fake_.mib[base + "6" + row] = IntegerValue(base + "6" + row, 7);
        fake_.mib[base + "8" + row] = IntegerValue(base + "8" + row, 100 - r);
    }
    list.SetWindow(10, 12);
    FakePacket request;
    request.varbinds = Request([&](VTWIDUS_PACKET p) { return list.SetOidOfGetRequest(p); });
    ASSERT_EQ(request.varbinds.size(), 21u);
    FakePacket response;
    fake_.Answer(request, response);
    ASSERT_TRUE(list.GetOidOfGetRequest(&response));

    tagUsbSnmpApSearchResultInfo out[3] = {};
    list.GetInfoTagData(out);
    EXPECT_STREQ(out[0].dot11APSearchResultSsid_, "net11");
    EXPECT_STREQ(out[0].dot11APSearchResultBssid_, "001ba9010203");
    EXPECT_EQ(out[0].dot11APSearchResultAuthentication_, 7);
    EXPECT_EQ(out[2].dot11APSearchResultSignalLevel_, 87);
    EXPECT_EQ(out[2].dot11APSearchResultPhyType_, -3); // the printer has no such column

    // A window beyond the rows fails and writes nothing.
    list.SetWindow(12, 13);
    tagUsbSnmpApSearchResultInfo untouched{};
    list.GetInfoTagData(&untouched);
    EXPECT_EQ(untouched.dot11APSearchResultSsid_[0], '\0');
    bool ok = true;
    Request([&](VTWIDUS_PACKET p) { return list.SetOidOfGetRequest(p); }, &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(traces_.Contains(3, "SetOidOfGetRequest:param"));
    EXPECT_TRUE(traces_.Contains(3, "GetInfoTagData:param"));
}

TEST_F(SearchObjectTest, TimeAndCountDecodeNoSuchObjectAsMinusThree) {
    CApSearchTimeAndCountInfo info;
    FakePacket response;
    response.varbinds = {NoSuchObject(kArc + ".1.3.2.100.100.3.0"),
                         IntegerValue(kArc + ".1.3.2.100.100.5.0", 4)};
    ASSERT_TRUE(info.GetOidOfGetRequest(&response));
    EXPECT_EQ(info.GetTime(), -3);
    EXPECT_EQ(info.GetCount(), 4);
    response.varbinds = {
        FakeVarbind{kArc + ".1.3.2.100.100.3.0", VTWIDUS_TYPE_TIMETICKS, {0xff, 0xff, 0xff, 0xfe}}};
    ASSERT_TRUE(info.GetOidOfGetRequest(&response));
    EXPECT_EQ(info.GetTime(), -2) << "unsigned value stored as int";
}

TEST_F(SearchObjectTest, StartRequestsAndTheirAnswers) {
    CApSearchExecuteInfo plain;
    const auto sent = Request([&](VTWIDUS_PACKET p) { return plain.SetOidOfSetRequest(p); });
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].oid, kArc + ".1.3.2.100.100.2.0");
    EXPECT_EQ(sent[0].type, VTWIDUS_TYPE_INTEGER);
    EXPECT_EQ(sent[0].value, (std::vector<std::uint8_t>{0, 0, 0, 3}));

    FakePacket answered;
    answered.varbinds = {IntegerValue(kArc + ".1.3.2.100.100.2.0", 3)};
    EXPECT_TRUE(plain.GetOidOfSetRequest(&answered));
    FakePacket empty;
    empty.varbinds = {OctetsValue(kArc + ".1.3.2.100.100.2.0", {})};
    EXPECT_FALSE(plain.GetOidOfSetRequest(&empty));

    CApSearchExecuteWithSsidInfo named("cafe");
    const auto named_sent = Request([&](VTWIDUS_PACKET p) { return named.SetOidOfSetRequest(p); });
    ASSERT_EQ(named_sent.size(), 1u);
    EXPECT_EQ(named_sent[0].oid, kArc + ".1.3.2.100.100.7.0");
    EXPECT_EQ(std::string(named_sent[0].value.begin(), named_sent[0].value.end()), "cafe");
}

TEST_F(SearchObjectTest, ParameterTextHasThePiecesThatApply) {
    struct Case {
        CApSearchExecuteWithParamsInfo info;
        std::string text;
    } cases[] = {
        {{1, -1, "abc", ""}, "<bgch-8:00000001><ssid-3:abc>"},
        {{0x1fff, 0x0f0, "", "001122334455"},
         "<bgch-8:00001FFF><ach-8:000000F0><bssid-12:001122334455>"},
        {{-1, -1, "", ""}, ""},
        {{-1, 1, "a b", "x"}, "<ach-8:00000001><ssid-3:a b><bssid-1:x>"},
    };
    for (Case& c : cases) {
        EXPECT_EQ(c.info.ParameterText(), c.text);
        const auto sent = Request([&](VTWIDUS_PACKET p) { return c.info.SetOidOfSetRequest(p); });
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].oid, kArc + ".1.3.2.100.100.9.0");
        EXPECT_EQ(std::string(sent[0].value.begin(), sent[0].value.end()), c.text);
    }
}

TEST_F(SearchObjectTest, SupportValueAndVersionAndSerial) {
    CSupportApSearchWithParamsInfo support(4, 0x06);
    const auto sent = Request([&](VTWIDUS_PACKET p) { return support.SetOidOfGetRequest(p); });
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].oid, kArc + ".1.3.2.100.100.8.1.2.4.6");
    FakePacket response;
    response.varbinds = {NoSuchObject(sent[0].oid)};
    ASSERT_TRUE(support.GetOidOfGetRequest(&response));
    EXPECT_EQ(support.Value(), -3);

    CApSearchExecuteWithParamsInfo version;
    response.varbinds = {TextValue(kArc + ".1.3.2.100.100.9.0", "1.02")};
    ASSERT_TRUE(version.GetOidOfGetRequest(&response));
    EXPECT_EQ(version.Version(), "1.02");

    CSerialInfo serial;
    response.varbinds = {TextValue("1.2", "other"), TextValue(kArc + ".1.2.1.8.1.3.1.1", "SN1"),
                         TextValue(kArc + ".1.2.1.8.1.3.1.1", "SN2")};
    ASSERT_TRUE(serial.GetOidOfGetRequest(&response));
    EXPECT_EQ(serial.Serial(), "SN1");
    response.varbinds = {TextValue("1.2", "other")};
    const std::size_t lines = TraceCapture::Lines().size();
    EXPECT_FALSE(serial.GetOidOfGetRequest(&response));
    EXPECT_EQ(TraceCapture::Lines().size(), lines) << "a missing serial is not traced";
}

} // namespace
} // namespace vtwidwus::test
