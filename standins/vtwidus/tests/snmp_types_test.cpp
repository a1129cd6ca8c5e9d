#include "snmp_types.h"

#include <gtest/gtest.h>

namespace vtwidussim {
namespace {

TEST(SnmpTypes, SignedShortestFormRoundTrips) {
    struct Case {
        std::int32_t value;
        Bytes bytes;
    };
    const Case cases[] = {
        {0, {0x00}},
        {127, {0x7F}},
        {128, {0x00, 0x80}},
        {258, {0x01, 0x02}},
        {-1, {0xFF}},
        {-128, {0x80}},
        {-129, {0xFF, 0x7F}},
        {INT32_MAX, {0x7F, 0xFF, 0xFF, 0xFF}},
        {INT32_MIN, {0x80, 0x00, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeSignedMinimal(c.value), c.bytes) << c.value;
        EXPECT_EQ(DecodeSigned(c.bytes.data(), c.bytes.size()), c.value) << c.value;
    }
}

TEST(SnmpTypes, UnsignedShortestFormKeepsTheTopBitPositive) {
    EXPECT_EQ(EncodeUnsignedMinimal(0x80000000u), (Bytes{0x00, 0x80, 0x00, 0x00, 0x00}));
    EXPECT_EQ(EncodeUnsignedMinimal(255), (Bytes{0x00, 0xFF}));
    const Bytes five{0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(DecodeUnsigned(five.data(), five.size()), 0xFFFFFFFFu);
}

TEST(SnmpTypes, DecodersRefuseBadLengths) {
    const Bytes five{0x01, 0x00, 0x00, 0x00, 0x00};
    EXPECT_FALSE(DecodeSigned(five.data(), 0));
    EXPECT_FALSE(DecodeSigned(five.data(), 5));
    EXPECT_FALSE(DecodeSigned(nullptr, 1));
    EXPECT_FALSE(DecodeUnsigned(five.data(), 5)); // leading byte not zero
    EXPECT_FALSE(DecodeUnsigned(five.data(), 0));
}

TEST(SnmpTypes, OctetWordsAreFourBytesMostSignificantFirst) {
    EXPECT_EQ(EncodeInt32BigEndian(258), (Bytes{0x00, 0x00, 0x01, 0x02}));
    EXPECT_EQ(EncodeInt32BigEndian(-1), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(SnmpTypes, AddressTextsBothWays) {
    EXPECT_EQ(FormatIpv4(*ParseIpv4("10.0.0.254")), "10.0.0.254");
    EXPECT_FALSE(ParseIpv4(""));
    EXPECT_FALSE(ParseIpv4("1.2.3"));
    EXPECT_EQ(FormatIpv6(Bytes(16, 0)), "::");
    EXPECT_EQ(ParseIpv6("fe80::1")->size(), 16u);
    EXPECT_FALSE(ParseIpv6("fe80:::1"));
}

TEST(SnmpTypes, JournalRenderingOfValues) {
    EXPECT_EQ(DescribeValue(IntegerValue(-5)), "i:-5");
    EXPECT_EQ(DescribeValue(GaugeValue(7)), "g:7");
    EXPECT_EQ(DescribeValue(OctetIntValue(1)), "x:00000001");
    EXPECT_EQ(DescribeValue(TextValue("abc")), "s:abc");
    EXPECT_EQ(DescribeValue(TextValue("")), "x:");
    EXPECT_EQ(DescribeValue({0x40, {192, 168, 0, 1}}), "a:192.168.0.1");
    EXPECT_EQ(DescribeValue({0x05, {}}), "null");
    EXPECT_EQ(DescribeValue({0x43, {0x01}}), "t43:01");
}

} // namespace
} // namespace vtwidussim
