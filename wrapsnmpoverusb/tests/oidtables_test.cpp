// Every settings group against its whole table: the OIDs a GET asks for and their order, the
// record bytes each answer lands in, and the OIDs, value types and bytes that a SET sends.
#include "directinfo.h"
#include "fake_vtwidus.h"
#include "infrainfo.h"
#include "infrasupportauthinfo.h"
#include "packet.h"
#include "stateinfo.h"
#include "userinfostringinfo.h"
#include "wiredinfo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace vtwidwus::test {
namespace {

const std::string kArc = "1.3.6.1.4.1.58217";

// One row of a group's table. get: 'I' int, 'S' text, 'A' IPv4 text, '6' IPv6 text, 0 not
// read. set: "OI" octets by int, "IN" INTEGER, "GA" Gauge32, "ST" text, "IP" IpAddress, "I6"
// IPv6 octets, "" not written. size: bytes of a text field (ints are 4).
struct Row {
    std::string oid;
    std::size_t offset;
    std::size_t size;
    char get;
    std::string set;
};

bool IsText(const Row& r) {
    return r.get == 'S' || r.get == 'A' || r.get == '6' || r.set == "ST" || r.set == "IP" ||
           r.set == "I6";
}

std::vector<std::uint8_t> BigEndian(int v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<std::uint8_t>(u >> 24), static_cast<std::uint8_t>(u >> 16),
            static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)};
}

std::vector<std::uint8_t> V6(int last) {
    std::vector<std::uint8_t> b(16, 0);
    b[0] = 0xfe;
    b[1] = 0x80;
    b[15] = static_cast<std::uint8_t>(last);
    return b;
}

std::string V6Text(int last) {
    char text[16];
    std::snprintf(text, sizeof text, "fe80::%x", static_cast<unsigned>(last));
    return text;
}

// The value that the printer answers for row i, and the text it reads as.
FakeVarbind Answer(const Row& r, int i) {
    const std::string oid = kArc + r.oid;
    switch (r.get) {
    case 'I':
        return IntegerValue(oid, 1000 + i);
    case 'S':
        return TextValue(oid, "v" + std::to_string(i));
    case 'A':
        return {oid, VTWIDUS_TYPE_IPADDRESS, {10, 0, 0, static_cast<std::uint8_t>(i)}};
    default:
        return OctetsValue(oid, V6(i));
    }
}
std::string AnswerText(const Row& r, int i) {
    switch (r.get) {
    case 'S':
        return "v" + std::to_string(i);
    case 'A':
        return "10.0.0." + std::to_string(i);
    default:
        return V6Text(i);
    }
}

// The caller's value for row i of a SET, written into its record.
std::string CallerText(const Row& r, int i) {
    if (r.set == "IP") {
        return "10.1.0." + std::to_string(i);
    }
    if (r.set == "I6") {
        return V6Text(i);
    }
    return "w" + std::to_string(i);
}
FakeVarbind Expected(const Row& r, int i) {
    const std::string oid = kArc + r.oid;
    if (r.set == "OI") {
        return {oid, VTWIDUS_TYPE_OCTET_STRING, BigEndian(2000 + i)};
    }
    if (r.set == "IN") {
        return {oid, VTWIDUS_TYPE_INTEGER, BigEndian(2000 + i)};
    }
    if (r.set == "GA") {
        return {oid, VTWIDUS_TYPE_GAUGE32, BigEndian(2000 + i)};
    }
    if (r.set == "IP") {
        return {oid, VTWIDUS_TYPE_IPADDRESS, {10, 1, 0, static_cast<std::uint8_t>(i)}};
    }
    if (r.set == "I6") {
        return OctetsValue(oid, V6(i));
    }
    return TextValue(oid, CallerText(r, i));
}

int IntAt(const std::vector<unsigned char>& record, std::size_t offset) {
    int v = 0;
    std::memcpy(&v, record.data() + offset, sizeof v);
    return v;
}
std::string TextAt(const std::vector<unsigned char>& record, const Row& r) {
    const char* p = reinterpret_cast<const char*>(record.data() + r.offset);
    return std::string(p, ::strnlen(p, r.size));
}

template <typename Info>
void CheckGroup(const char* name, const std::vector<Row>& rows, std::size_t recordSize,
                bool settable) {
    SCOPED_TRACE(name);
    FakeVtwidus fake;
    Info info;

    // GET: the readable rows in table order, each answer in its own bytes of the record.
    unique_packet request = MakePacket();
    ASSERT_TRUE(info.SetOidOfGetRequest(request.get()));
    const FakePacket& sent = *static_cast<FakePacket*>(request.get());
    std::vector<std::string> asked;
    for (const FakeVarbind& v : sent.varbinds) {
        EXPECT_EQ(v.type, VTWIDUS_TYPE_NULL) << v.oid;
        asked.push_back(v.oid);
    }
    std::vector<std::string> readable;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].get != 0) {
            readable.push_back(kArc + rows[i].oid);
            fake.mib[kArc + rows[i].oid] = Answer(rows[i], static_cast<int>(i));
        }
    }
    EXPECT_EQ(asked, readable);
    FakePacket response;
    fake.Answer(sent, response);
    ASSERT_TRUE(info.GetOidOfGetRequest(&response));
    std::vector<unsigned char> out(recordSize, 0x55);
    info.GetInfoTagData(out.data());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        if (IsText(r)) {
            EXPECT_EQ(TextAt(out, r), r.get != 0 ? AnswerText(r, static_cast<int>(i)) : "")
                << r.oid;
        } else {
            EXPECT_EQ(IntAt(out, r.offset), r.get != 0 ? 1000 + static_cast<int>(i) : -1) << r.oid;
        }
    }
    if (!settable) {
        return;
    }

    // SET without before-values: every writable row in table order with its builder's type.
    std::vector<unsigned char> caller(recordSize, 0);
    std::vector<FakeVarbind> expected;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        if (r.set.empty()) {
            continue;
        }
        const int n = static_cast<int>(i);
        if (IsText(r)) {
            const std::string text = CallerText(r, n);
            std::memcpy(caller.data() + r.offset, text.c_str(), text.size() + 1);
        } else {
            const int v = 2000 + n;
            std::memcpy(caller.data() + r.offset, &v, sizeof v);
        }
        expected.push_back(Expected(r, n));
    }
    Info writer;
    writer.SetInfoTagData(caller.data());
    unique_packet set = MakePacket();
    ASSERT_TRUE(writer.SetOidOfSetRequest(set.get()));
    const std::vector<FakeVarbind>& varbinds = static_cast<FakePacket*>(set.get())->varbinds;
    ASSERT_EQ(varbinds.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(varbinds[i].oid, expected[i].oid);
        EXPECT_EQ(varbinds[i].type, expected[i].type) << expected[i].oid;
        EXPECT_EQ(varbinds[i].value, expected[i].value) << expected[i].oid;
    }
}

TEST(OidTableTest, StateGroup) {
    CheckGroup<CStateInfo>("state",
                           {
                               {".1.3.1.10.0", 0, 4, 'I', ""},
                               {".1.3.1.11.0", 4, 4, 'I', "OI"},
                               {".1.3.2.100.1.0", 8, 4, 'I', ""},
                               {".1.3.2.100.2.0", 12, 4, 'I', "OI"},
                           },
                           16, true);
}

// The interface columns of one row (.2 wired, .3 infrastructure), from a record offset.
std::vector<Row> InterfaceRows(const std::string& row, std::size_t at) {
    auto col = [&row](const char* table, int n) {
        return std::string(".1.3.3.1.100.") + table + ".1." + std::to_string(n) + row;
    };
    return {
        {col("10", 3), at + 0, 4, 'I', "IN"},     {col("10", 4), at + 4, 16, 'A', "IP"},
        {col("10", 5), at + 20, 16, 'A', "IP"},   {col("10", 6), at + 36, 16, 'A', "IP"},
        {col("20", 2), at + 52, 4, 'I', "IN"},    {col("20", 3), at + 56, 4, 'I', "IN"},
        {col("20", 4), at + 60, 4, 'I', "IN"},    {col("20", 5), at + 64, 4, 'I', "IN"},
        {col("20", 27), at + 68, 46, '6', "I6"},  {col("20", 28), at + 116, 4, 'I', "IN"},
        {col("20", 29), at + 120, 46, '6', "I6"}, {col("20", 30), at + 168, 4, 'I', "IN"},
    };
}

TEST(OidTableTest, WiredGroup) {
    std::vector<Row> rows = {{".1.3.1.11.0", 0, 4, 'I', "OI"}};
    for (const Row& r : InterfaceRows(".2", 4)) {
        rows.push_back(r);
    }
    ASSERT_EQ(rows.size(), 13u);
    CheckGroup<CWiredInfo>("wired", rows, 176, true);
}

TEST(OidTableTest, InfrastructureGroup) {
    std::vector<Row> rows = {{".1.3.1.11.0", 0, 4, 'I', "OI"}, {".1.3.2.100.2.0", 4, 4, 'I', "OI"}};
    for (const Row& r : InterfaceRows(".3", 8)) {
        rows.push_back(r);
    }
    const std::vector<Row> wireless = {
        {".1.3.2.100.10.1.0", 180, 4, 'I', ""},    {".1.3.2.100.10.3.0", 184, 33, 'S', "ST"},
        {".1.3.2.100.10.6.0", 220, 4, 'I', "IN"},  {".1.3.2.100.10.7.0", 224, 4, 'I', "IN"},
        {".1.3.2.100.10.100.0", 228, 4, 0, "IN"},  {".1.3.2.100.10.101.0", 232, 4, 0, "IN"},
        {".1.3.2.100.10.102.0", 236, 27, 0, "ST"}, {".1.3.2.100.10.103.0", 263, 27, 0, "ST"},
        {".1.3.2.100.10.104.0", 290, 27, 0, "ST"}, {".1.3.2.100.10.105.0", 317, 27, 0, "ST"},
        {".1.3.2.100.10.110.0", 344, 65, 0, "ST"}, {".1.3.2.100.10.5.0", 412, 4, 'I', "GA"},
    };
    rows.insert(rows.end(), wireless.begin(), wireless.end());
    CheckGroup<CInfraInfo>("infrastructure", rows, 416, true);
}

TEST(OidTableTest, DirectGroup) {
    CheckGroup<CDirectInfo>("direct",
                            {
                                {".1.3.1.11.0", 0, 4, 'I', "OI"},
                                {".1.3.2.100.2.0", 4, 4, 'I', "OI"},
                                {".1.3.2.100.1.0", 8, 4, 'I', ""},
                                {".1.3.2.100.11.3.0", 12, 33, 'S', ""},
                                {".1.3.2.100.11.6.0", 48, 4, 'I', ""},
                                {".1.3.2.100.11.7.0", 52, 4, 'I', ""},
                                {".1.3.2.100.11.110.0", 56, 65, 'S', ""},
                                {".1.3.2.100.13.3.0", 121, 33, 'S', ""},
                                {".1.3.2.100.13.110.0", 154, 65, 'S', ""},
                            },
                            220, true);
}

TEST(OidTableTest, UserInformationAndSupportedAuthenticationGroups) {
    CheckGroup<CUserInfoStringInfo>("user information",
                                    {
                                        {".1.2.2.4.0", 0, 65, 'S', "ST"},
                                        {".1.2.2.5.0", 65, 16, 'S', "ST"},
                                    },
                                    81, true);
    CheckGroup<CInfraSupportAuthInfo>("supported authentication",
                                      {{".1.3.2.100.10.11.0", 0, 4, 'I', ""}}, 4, false);
}

} // namespace
} // namespace vtwidwus::test
