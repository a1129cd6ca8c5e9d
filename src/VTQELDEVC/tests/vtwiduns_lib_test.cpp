// The outside USB device library's holder over a scripted library: the access-point scan with
// its wait chosen by the printer's radio, the secured filter, the settings block with the masked
// key, and a conversation ended on every path.
#include "scripted_outside.h"

#include "vtwiduns_lib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace vtqeldevc::test {
namespace {

using Strings = std::vector<std::string>;
using Waits = std::vector<unsigned>;

const std::string kKey = "usb-key-1";

Cells Interface(const std::string& name, const std::string& channels) {
    Cells cells(VTWIDUNS_INTERFACE_CELLS);
    cells[0] = name;
    cells[7] = channels;
    return cells;
}

Cells AccessPoint(const std::string& hex_ssid, const std::string& opaque, const std::string& cell6,
                  const std::string& cell9, const std::string& signal = "50") {
    Cells cells(VTWIDUNS_ACCESS_POINT_CELLS);
    cells[0] = hex_ssid;
    cells[1] = opaque;
    cells[3] = signal;
    cells[6] = cell6;
    cells[9] = cell9;
    return cells;
}

int Count(const Strings& journal, const std::string& event) {
    return static_cast<int>(std::count(journal.begin(), journal.end(), event));
}

class VtWidUnsLibTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(uns_.Load(L"C:\\program"), 0); }

    std::vector<std::string> KeptSsids() const {
        std::vector<std::string> ssids;
        for (const auto& point : uns_.access_points()) {
            ssids.emplace_back(point.HexSsid());
        }
        return ssids;
    }
    std::string Cell(int section, int cell) const {
        const auto& block = outside_.uns.settings;
        const std::string_view all(block.data(), block.size());
        return std::string(CellText(all.substr(static_cast<std::size_t>(section) * 5160, 5160),
                                    static_cast<std::size_t>(cell)));
    }

    ScriptedOutside outside_;
    VtWidUnsLib uns_{outside_.platform()};
};

TEST_F(VtWidUnsLibTest, ScanWaitsLongerForAFiveGigahertzRadioAndKeepsSecuredAccessPoints) {
    const std::vector<Cells> two_points = {AccessPoint("4E6574", "a", "1", "0"),
                                           AccessPoint("4F70656E", "b", "0", "0"),
                                           AccessPoint("4F6666", "c", "0", "1")};
    struct Case {
        const char* name;
        std::vector<Cells> interfaces;
        int comm_start = 0;
        int interface_read = 0;
        int control = 0;
        std::vector<Cells> access_points;
        int access_point_read = 0;
        int result;
        Waits waits;
        Strings kept;
    } cases[] = {
        {"channel 36 on wireless0",
         {Interface("wireless0", "1 6 11 36")},
         0,
         0,
         0,
         two_points,
         0,
         0,
         {14200},
         {"4E6574", "4F6666"}},
        {"channel 165 counts",
         {Interface("wired0", ""), Interface("wireless0", "165")},
         0,
         0,
         0,
         two_points,
         0,
         0,
         {14200},
         {"4E6574", "4F6666"}},
        {"channel 166 does not",
         {Interface("wireless0", "166 1\t13")},
         0,
         0,
         0,
         two_points,
         0,
         0,
         {7200},
         {"4E6574", "4F6666"}},
        {"only 2.4 GHz channels",
         {Interface("wireless0", "1 2 3 4 5 6 7 8 9 10 11 12 13")},
         0,
         0,
         0,
         two_points,
         0,
         0,
         {7200},
         {"4E6574", "4F6666"}},
        {"5 GHz on another interface only",
         {Interface("wireless1", "36")},
         0,
         0,
         0,
         two_points,
         0,
         0,
         {7200},
         {"4E6574", "4F6666"}},
        {"the first wireless0 counts",
         {Interface("wireless0", "1"), Interface("wireless0", "36")},
         0,
         0,
         0,
         two_points,
         0,
         0,
         {7200},
         {"4E6574", "4F6666"}},
        {"no interfaces", {}, 0, 0, 0, two_points, 0, 0, {7200}, {"4E6574", "4F6666"}},
        {"open access points only",
         {},
         0,
         0,
         0,
         {AccessPoint("4F70656E", "b", "0", "0")},
         0,
         0,
         {7200},
         {}},
        {"no access point", {}, 0, 0, 0, {}, 0, -6, {7200}, {}},
        {"no conversation", {}, VTWIDUNS_ERR_BUSY, 0, 0, two_points, 0, -7, {}, {}},
        {"the interfaces cannot be read",
         {Interface("wireless0", "36")},
         0,
         -2,
         0,
         two_points,
         0,
         -1,
         {},
         {}},
        {"the scan is refused", {}, 0, 0, -2, two_points, 0, -1, {}, {}},
        {"the access points cannot be read", {}, 0, 0, 0, two_points, -2, -1, {7200}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.journal.clear();
        outside_.sleeps.clear();
        outside_.uns =
            UnsScript{c.comm_start,    c.control,           0, c.interfaces, c.interface_read,
                      c.access_points, c.access_point_read, {}};
        EXPECT_EQ(uns_.SearchAccessPoints(kKey.c_str()), c.result);
        EXPECT_EQ(outside_.sleeps, c.waits);
        EXPECT_EQ(KeptSsids(), c.kept);
        EXPECT_EQ(Count(outside_.journal, "CommStart " + kKey), 1);
        EXPECT_EQ(Count(outside_.journal, "CommEnd " + kKey), 1) << "every conversation is ended";
        EXPECT_EQ(outside_.journal.back(), "CommEnd " + kKey);
    }
}

TEST_F(VtWidUnsLibTest, AKeyWithoutTerminatorIsReadNoFurtherThanItsField) {
    char key[VTWIDUNS_DEVICE_KEY_BYTES + 8];
    std::fill(std::begin(key), std::end(key), 'K');
    key[VTWIDUNS_DEVICE_KEY_BYTES + 7] = '\0';
    EXPECT_EQ(uns_.SearchAccessPoints(key), -6);
    const std::string bounded(VTWIDUNS_DEVICE_KEY_BYTES, 'K');
    EXPECT_EQ(Count(outside_.journal, "CommStart " + bounded), 1);
    EXPECT_EQ(Count(outside_.journal, "CommEnd " + bounded), 1);
    EXPECT_EQ(uns_.SearchAccessPoints(nullptr), -4);
    EXPECT_EQ(uns_.ApplyWirelessSettings(nullptr, "Net", "secret"), -4);
}

TEST_F(VtWidUnsLibTest, AConversationEndsEvenWhenTheWorkThrows) {
    outside_.uns.access_points = {AccessPoint("4E6574", "a", "1", "0")};
    VtWidUnsLib uns(Platform{&outside_, [](unsigned) { throw std::bad_alloc(); }});
    ASSERT_EQ(uns.Load(L"C:\\program"), 0);
    outside_.journal.clear();
    EXPECT_THROW(uns.SearchAccessPoints(kKey.c_str()), std::bad_alloc);
    EXPECT_EQ(outside_.journal.back(), "CommEnd " + kKey);
}

TEST_F(VtWidUnsLibTest, SettingsBlockCarriesTheChosenAccessPointAndTheMaskedKey) {
    outside_.uns.access_points = {AccessPoint("4E6574", "first", "1", "0"),
                                  AccessPoint("4E6574", "second", "0", "1"),
                                  AccessPoint("6e6574", "lower", "1", "1")};
    ASSERT_EQ(uns_.SearchAccessPoints(kKey.c_str()), 0);
    outside_.journal.clear();
    outside_.sleeps.clear();
    ASSERT_EQ(uns_.ApplyWirelessSettings(kKey.c_str(), "Net", "secret"), 0);
    EXPECT_EQ(outside_.journal,
              (Strings{"CommStart " + kKey, "SetInfo 1 15480", "CommEnd " + kKey}));
    EXPECT_EQ(outside_.sleeps, Waits{60000});
    ASSERT_EQ(outside_.uns.settings.size(), 15480u);
    struct Expected {
        int section;
        int cell;
        std::string text;
    } const expected[] = {
        {0, 0, "wireless0"}, {0, 3, "1"},
        {0, 4, "1"},         {0, 5, "DHCP"},
        {0, 18, "4E6574"},   {0, 20, "second"}, // the last of equal names counts
        {0, 21, "0"},        {0, 30, "0"},
        {0, 33, "0"},        {0, 35, "293F39283F2E"}, // "secret", each byte XORed with 0x5A
        {0, 36, "1"},        {0, 37, "AUTO"},
        {1, 0, "wireless1"}, {2, 0, "wireless2"},
    };
    std::size_t filled = 0;
    for (int section = 0; section < 3; ++section) {
        for (int cell = 0; cell < 40; ++cell) {
            const std::string text = Cell(section, cell);
            const auto row =
                std::find_if(std::begin(expected), std::end(expected), [&](const Expected& e) {
                    return e.section == section && e.cell == cell;
                });
            SCOPED_TRACE(std::to_string(section) + "/" + std::to_string(cell));
            EXPECT_EQ(text, row != std::end(expected) ? row->text : "");
            filled += text.empty() ? 0 : 1;
        }
    }
    EXPECT_EQ(filled, std::size(expected));
}

TEST_F(VtWidUnsLibTest, WritingFailsWithoutTheAccessPointAConversationOrTheWrite) {
    outside_.uns.access_points = {AccessPoint("4E6574", "a", "1", "0"),
                                  AccessPoint("6e6574", "lower", "1", "1")};
    ASSERT_EQ(uns_.SearchAccessPoints(kKey.c_str()), 0);
    struct Case {
        const char* name;
        std::string ssid;
        std::string key;
        int comm_start;
        int set_info;
        int result;
        Strings journal;
    } cases[] = {
        {"an SSID the scan did not keep", "Other", "secret", 0, 0, -6, {}},
        {"lower-case digits in the scan never match", "net", "secret", 0, 0, -6, {}},
        {"a key too long for its cell", "Net", std::string(65, 'k'), 0, 0, -1, {}},
        {"no conversation",
         "Net",
         "secret",
         VTWIDUNS_ERR_BUSY,
         0,
         -1,
         {"CommStart " + kKey, "CommEnd " + kKey}},
        {"the write fails",
         "Net",
         "secret",
         0,
         VTWIDUNS_ERR_FAILED,
         -1,
         {"CommStart " + kKey, "SetInfo 1 15480", "CommEnd " + kKey}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.journal.clear();
        outside_.sleeps.clear();
        outside_.uns.comm_start = c.comm_start;
        outside_.uns.set_info = c.set_info;
        EXPECT_EQ(uns_.ApplyWirelessSettings(kKey.c_str(), c.ssid.c_str(), c.key.c_str()),
                  c.result);
        EXPECT_EQ(outside_.journal, c.journal);
        EXPECT_TRUE(outside_.sleeps.empty());
    }
    // The longest key that fits.
    outside_.uns.comm_start = 0;
    outside_.uns.set_info = 0;
    EXPECT_EQ(uns_.ApplyWirelessSettings(kKey.c_str(), "Net", std::string(64, 'k').c_str()), 0);
}

TEST(VtWidUnsTexts, ChannelListsMaskedKeysAndCells) {
    struct Channels {
        const char* list;
        bool five_ghz;
    } const channels[] = {{"36", true},      {"165", true},     {"166", false},  {"35", false},
                          {"1 6 11", false}, {" \t36\n", true}, {"036", true},   {"36a", false},
                          {"-36", false},    {"", false},       {"1,36", false}, {"14 100", true}};
    for (const auto& c : channels) {
        EXPECT_EQ(ListsFiveGhzChannel(c.list), c.five_ghz) << '"' << c.list << '"';
    }
    struct Masked {
        std::string key;
        std::string masked;
    } const keys[] = {{"", ""}, {"Z", "00"}, {"\xA5", "FF"}, {"secret", "293F39283F2E"}};
    for (const auto& k : keys) {
        EXPECT_EQ(MaskKey(k.key), k.masked);
    }
    // A cell without a terminator ends with the cell; a cell past the record is empty.
    const std::string record = std::string(129, 'a') + "bc" + std::string(127, '\0');
    EXPECT_EQ(CellText(record, 0), std::string(129, 'a'));
    EXPECT_EQ(CellText(record, 1), "bc");
    EXPECT_EQ(CellText(record, 2), "");
    EXPECT_EQ(CellText("abc", 0), "abc");
}

} // namespace
} // namespace vtqeldevc::test
