// Value builders and decoders against the fake packet library.
#include "aoidinfo.h"
#include "fake_vtwidus.h"
#include "packet.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vtwidwus::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class CodecTest : public ::testing::Test {
protected:
    FakePacket& Sent() { return *static_cast<FakePacket*>(request_.get()); }

    FakeVtwidus fake_;
    TraceCapture traces_;
    unique_packet request_ = MakePacket();
};

VTWIDUS_VARBIND View(std::uint8_t type, const Bytes& bytes) {
    VTWIDUS_VARBIND v{};
    v.oid_ = "1.2.3";
    v.type_ = type;
    v.octets_.length_ = static_cast<std::uint32_t>(bytes.size());
    v.octets_.value_ = bytes.empty() ? nullptr : bytes.data();
    return v;
}

TEST_F(CodecTest, IntegerBuildersSendFourBytesBigEndianWithTheirType) {
    struct Case {
        const char* name;
        bool (*build)(VTWIDUS_PACKET, const char*, int);
        int value;
        std::uint8_t type;
        Bytes bytes;
    } cases[] = {
        {"octets 258",
         AOidInfo::AddSetRequestOidOctetValueByInt,
         258,
         VTWIDUS_TYPE_OCTET_STRING,
         {0, 0, 1, 2}},
        {"octets -1",
         AOidInfo::AddSetRequestOidOctetValueByInt,
         -1,
         VTWIDUS_TYPE_OCTET_STRING,
         {0xff, 0xff, 0xff, 0xff}},
        {"integer",
         AOidInfo::AddSetRequestOidIntValue,
         0x01020304,
         VTWIDUS_TYPE_INTEGER,
         {1, 2, 3, 4}},
        {"gauge", AOidInfo::AddSetRequestOidGaugeValue, 11, VTWIDUS_TYPE_GAUGE32, {0, 0, 0, 11}},
    };
    for (const Case& c : cases) {
        Sent().varbinds.clear();
        ASSERT_TRUE(c.build(request_.get(), "1.3.6", c.value)) << c.name;
        ASSERT_EQ(Sent().varbinds.size(), 1u) << c.name;
        EXPECT_EQ(Sent().varbinds[0].oid, "1.3.6") << c.name;
        EXPECT_EQ(Sent().varbinds[0].type, c.type) << c.name;
        EXPECT_EQ(Sent().varbinds[0].value, c.bytes) << c.name;
    }
}

TEST_F(CodecTest, AddressBuildersParseTextAndRefuseBadText) {
    ASSERT_TRUE(AOidInfo::AddSetRequestOidIpAddrValue(request_.get(), "1.1", "192.168.1.10"));
    EXPECT_EQ(Sent().varbinds.back().type, VTWIDUS_TYPE_IPADDRESS);
    EXPECT_EQ(Sent().varbinds.back().value, (Bytes{192, 168, 1, 10}));

    ASSERT_TRUE(AOidInfo::AddSetRequestOidIpV6AddrValue(request_.get(), "1.2", "fe80::1"));
    Bytes v6(16, 0);
    v6[0] = 0xfe;
    v6[1] = 0x80;
    v6[15] = 1;
    EXPECT_EQ(Sent().varbinds.back().type, VTWIDUS_TYPE_OCTET_STRING);
    EXPECT_EQ(Sent().varbinds.back().value, v6);

    const std::size_t before = Sent().varbinds.size();
    for (const char* bad : {"", "300.1.1.1", "1.2.3", "abc"}) {
        EXPECT_FALSE(AOidInfo::AddSetRequestOidIpAddrValue(request_.get(), "1.1", bad)) << bad;
    }
    EXPECT_TRUE(traces_.Contains(4, "AddSetRequestOidIpAddrValue:inet_pton()"));
    for (const char* bad : {"", "fe80:::1:2:3:4:5:6:7:8", "192.168.1.1x"}) {
        EXPECT_FALSE(AOidInfo::AddSetRequestOidIpV6AddrValue(request_.get(), "1.2", bad)) << bad;
    }
    EXPECT_EQ(Sent().varbinds.size(), before);
}

TEST_F(CodecTest, TextAndGetBuilders) {
    ASSERT_TRUE(AOidInfo::AddSetRequestOidStringValue(request_.get(), "1.3", "abc"));
    EXPECT_EQ(Sent().varbinds.back().value, (Bytes{'a', 'b', 'c'}));
    ASSERT_TRUE(AOidInfo::AddGetRequestOid(request_.get(), "1.4"));
    EXPECT_EQ(Sent().varbinds.back().type, VTWIDUS_TYPE_NULL);
    EXPECT_TRUE(Sent().varbinds.back().value.empty());
}

TEST_F(CodecTest, IntDecodersHandleValuesNoSuchObjectsAndEmptyValues) {
    struct Case {
        const char* name;
        std::uint8_t type;
        Bytes bytes;
        int expectInt;
        int expectUnsigned;
    } cases[] = {
        {"positive", VTWIDUS_TYPE_INTEGER, {0x01, 0x02}, 258, 258},
        {"negative", VTWIDUS_TYPE_INTEGER, {0xff}, -1, 255},
        {"four bytes", VTWIDUS_TYPE_OCTET_STRING, {0, 0, 0, 4}, 4, 4},
        {"no such object", VTWIDUS_TYPE_NOSUCHOBJECT, {}, -3, -3},
        {"no such instance", VTWIDUS_TYPE_NOSUCHINSTANCE, {}, -3, -3},
        {"empty", VTWIDUS_TYPE_INTEGER, {}, -2, -2},
        {"too long for the library", VTWIDUS_TYPE_INTEGER, {1, 2, 3, 4, 5, 6}, -2, -2},
    };
    for (const Case& c : cases) {
        const VTWIDUS_VARBIND v = View(c.type, c.bytes);
        EXPECT_EQ(AOidInfo::GetValueToInt(v), c.expectInt) << c.name;
        EXPECT_EQ(AOidInfo::GetValueToUnsignedInt(v), c.expectUnsigned) << c.name;
    }
    EXPECT_TRUE(traces_.Contains(1, "GetValueToInt:noSuchObject or noSuchInstance"));
    EXPECT_TRUE(traces_.Contains(3, "GetValueToInt:param"));
    EXPECT_EQ(fake_.livePackets, 1) << "scratch packets are destroyed";
}

TEST_F(CodecTest, TextDecoders) {
    const Bytes text{'a', 'b', 0, 'c'};
    EXPECT_EQ(AOidInfo::GetValueToString(View(VTWIDUS_TYPE_OCTET_STRING, text)), "ab");
    EXPECT_EQ(AOidInfo::GetValueToToHexString(View(VTWIDUS_TYPE_OCTET_STRING, text)), "61620063");
    EXPECT_EQ(AOidInfo::GetValueToToHexString(
                  View(VTWIDUS_TYPE_OCTET_STRING, {0x00, 0x1b, 0xA9, 0xff, 0x10, 0x02})),
              "001ba9ff1002");
    EXPECT_EQ(AOidInfo::GetValueToIpAddr(View(VTWIDUS_TYPE_IPADDRESS, {10, 0, 0, 254})),
              "10.0.0.254");
    EXPECT_EQ(AOidInfo::GetValueToIpV6Addr(View(VTWIDUS_TYPE_OCTET_STRING, Bytes(16, 0))), "::");
    Bytes v6(16, 0);
    v6[0] = 0x20;
    v6[1] = 0x01;
    v6[2] = 0x0d;
    v6[3] = 0xb8;
    v6[15] = 5;
    EXPECT_EQ(AOidInfo::GetValueToIpV6Addr(View(VTWIDUS_TYPE_OCTET_STRING, v6)), "2001:db8::5");

    // Short, empty and missing values give empty text.
    EXPECT_EQ(AOidInfo::GetValueToIpAddr(View(VTWIDUS_TYPE_IPADDRESS, {10, 0, 0})), "");
    EXPECT_EQ(AOidInfo::GetValueToIpV6Addr(View(VTWIDUS_TYPE_OCTET_STRING, Bytes(15, 0))), "");
    EXPECT_EQ(AOidInfo::GetValueToString(View(VTWIDUS_TYPE_OCTET_STRING, {})), "");
    EXPECT_EQ(AOidInfo::GetValueToToHexString(View(VTWIDUS_TYPE_NOSUCHINSTANCE, {})), "");
    EXPECT_EQ(AOidInfo::GetValueToString(View(VTWIDUS_TYPE_NOSUCHOBJECT, {})), "");
    EXPECT_TRUE(traces_.Contains(3, "GetValueToIpAddr:param"));
    EXPECT_TRUE(traces_.Contains(1, "GetValueToString:noSuchObject or noSuchInstance"));
}

} // namespace
} // namespace vtwidwus::test
