// vtwiduns.dll loaded as the printer access library loads it, against printers of the world: the
// device list, conversations, interfaces and their channels, the access-point scan, and the
// wireless settings block with its masked key.
#include "face_library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace qelworld::test {
namespace {

constexpr char kWorld[] = R"(
[printer desk]
model = VT-M200 Series
usb-port = USB001
usb = vtwiduns
bands = 2.4 5
ap = HomeNet signal -42 channel 6 auth 7 key "correct horse"
ap = OpenCafe signal -60 channel 1 auth 0
ap = "Neighbour 5G" signal -70 channel 36 auth 10 bssid 0A0B0C0D0E0F
wifi-address = 192.168.1.45

[printer radio24]
usb-port = USB002
usb = vtwiduns vtwidwus
bands = 2.4

[printer wrapped]
usb-port = USB003
usb = vtwidwus
)";

std::string Cell(const std::string& record, int cell) {
    return record.c_str() + static_cast<std::size_t>(cell) * VTWIDUNS_CELL_BYTES;
}

class VtwidunsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(world_.Loaded());
        ASSERT_TRUE(lib_.Loaded());
        lib_.Bind(create_, "VTWIDUNS_CreateInstance");
        lib_.Bind(destroy_, "VTWIDUNS_DestroyInstance");
        lib_.Bind(search_, "VTWIDUNS_Search");
        lib_.Bind(commStart_, "VTWIDUNS_CommStart");
        lib_.Bind(commEnd_, "VTWIDUNS_CommEnd");
        lib_.Bind(getInfo_, "VTWIDUNS_GetInfo");
        lib_.Bind(setInfo_, "VTWIDUNS_SetInfo");
        lib_.Bind(control_, "VTWIDUNS_Control");
        lib_.Bind(endNotUnlock_, "VTWIDUNS_CommEndNotUnLock");
        lib_.Bind(unlock_, "VTWIDUNS_UnLock");
        ASSERT_EQ(world_.Load(kWorld), "");
        instance_ = create_();
        ASSERT_NE(instance_, nullptr);
    }
    void TearDown() override { destroy_(instance_); }

    std::string Key(const char* printer) { return world_.Get(printer, "device-key"); }

    // All entries of one kind, read as the printer access library reads them.
    std::vector<std::string> Info(const std::string& key, int kind, int cells) {
        int work = 0;
        const int n = getInfo_(instance_, key.c_str(), kind, nullptr, &work, 1);
        if (n <= 0) {
            return {};
        }
        const std::size_t bytes = static_cast<std::size_t>(cells) * VTWIDUNS_CELL_BYTES;
        std::string buffer(bytes * static_cast<std::size_t>(n), '\0');
        work = n;
        EXPECT_EQ(getInfo_(instance_, key.c_str(), kind, buffer.data(), &work, 1), n);
        EXPECT_EQ(work, n);
        std::vector<std::string> entries;
        for (int i = 0; i < n; ++i) {
            entries.push_back(buffer.substr(static_cast<std::size_t>(i) * bytes, bytes));
        }
        return entries;
    }

    Client world_{qelwin::ThisModuleFolder()};
    FaceLibrary lib_{L"vtwiduns.dll"};
    VTWIDUNS_INSTANCE instance_ = nullptr;
    decltype(&VTWIDUNS_CreateInstance) create_ = nullptr;
    decltype(&VTWIDUNS_DestroyInstance) destroy_ = nullptr;
    decltype(&VTWIDUNS_Search) search_ = nullptr;
    decltype(&VTWIDUNS_CommStart) commStart_ = nullptr;
    decltype(&VTWIDUNS_CommEnd) commEnd_ = nullptr;
    decltype(&VTWIDUNS_GetInfo) getInfo_ = nullptr;
    decltype(&VTWIDUNS_SetInfo) setInfo_ = nullptr;
    decltype(&VTWIDUNS_Control) control_ = nullptr;
    decltype(&VTWIDUNS_CommEndNotUnLock) endNotUnlock_ = nullptr;
    decltype(&VTWIDUNS_UnLock) unlock_ = nullptr;
};

TEST_F(VtwidunsTest, SearchListsThePluggedPrintersThatItSeesWithKeyAndPort) {
    struct Case {
        int room; // -1: count only
        const char* line;
        int result;
        std::vector<const char*> printers;
    };
    const Case cases[] = {
        {-1, nullptr, 2, {}},
        {5, nullptr, 2, {"desk", "radio24"}},
        {1, nullptr, 1, {"desk"}},
        {0, nullptr, 0, {}},
        {5, "plugged = no", 1, {"radio24"}},
        {-1, "fault = VTWIDUNS_Search -2", -2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        ASSERT_EQ(world_.Load(kWorld), "");
        if (c.line != nullptr) {
            ASSERT_EQ(world_.Configure(std::strncmp(c.line, "fault", 5) == 0 ? "" : "desk", c.line),
                      "");
        }
        if (c.room < 0) {
            EXPECT_EQ(search_(instance_, nullptr, nullptr, 1), c.result);
            continue;
        }
        std::string buffer(static_cast<std::size_t>(c.room + 1) * VTWIDUNS_DEVICE_ENTRY_BYTES,
                           '\x7F');
        int work = c.room;
        EXPECT_EQ(search_(instance_, buffer.data(), &work, 0), c.result);
        EXPECT_EQ(work, static_cast<int>(c.printers.size()));
        for (std::size_t i = 0; i < c.printers.size(); ++i) {
            const char* entry = buffer.data() + i * VTWIDUNS_DEVICE_ENTRY_BYTES;
            EXPECT_EQ(std::string(entry), Key(c.printers[i]));
            EXPECT_EQ(std::string(entry + VTWIDUNS_DEVICE_PORT_OFFSET),
                      world_.Get(c.printers[i], "usb-port"));
        }
        EXPECT_EQ(buffer[c.printers.size() * VTWIDUNS_DEVICE_ENTRY_BYTES], '\x7F')
            << "nothing written past the entries";
    }
    int work = 1;
    EXPECT_EQ(search_(instance_, nullptr, &work, 0), VTWIDUNS_ERR_PARAM);
    EXPECT_EQ(search_(instance_, &work, nullptr, 0), VTWIDUNS_ERR_PARAM);
    EXPECT_EQ(search_(nullptr, nullptr, nullptr, 1), VTWIDUNS_ERR_PARAM);
}

TEST_F(VtwidunsTest, OneInstanceTalksToADeviceAtATime) {
    const std::string desk = Key("desk");
    VTWIDUNS_INSTANCE other = create_();
    int work = 0;
    struct Step {
        const char* what;
        int result;
        int expected;
    };
    const Step steps[] = {
        {"info before a conversation", getInfo_(instance_, desk.c_str(), 2, nullptr, &work, 1),
         VTWIDUNS_ERR_NO_COMM},
        {"an unknown key", commStart_(instance_, "VTUNS#USB009#nobody"), VTWIDUNS_ERR_NO_DEVICE},
        {"a printer it does not see", commStart_(instance_, Key("wrapped").c_str()),
         VTWIDUNS_ERR_NO_DEVICE},
        {"a null key", commStart_(instance_, nullptr), VTWIDUNS_ERR_PARAM},
        {"start", commStart_(instance_, desk.c_str()), VTWIDUNS_OK},
        {"start again", commStart_(instance_, desk.c_str()), VTWIDUNS_OK},
        {"another instance", commStart_(other, desk.c_str()), VTWIDUNS_ERR_BUSY},
        {"end without unlocking", endNotUnlock_(instance_, desk.c_str()), VTWIDUNS_OK},
        {"still locked", commStart_(other, desk.c_str()), VTWIDUNS_ERR_BUSY},
        {"info after the end", getInfo_(instance_, desk.c_str(), 2, nullptr, &work, 1),
         VTWIDUNS_ERR_NO_COMM},
        {"unlock", unlock_(instance_, desk.c_str()), VTWIDUNS_OK},
        {"the other now", commStart_(other, desk.c_str()), VTWIDUNS_OK},
        {"its end", commEnd_(other, desk.c_str()), VTWIDUNS_OK},
        {"an end without a conversation", commEnd_(other, desk.c_str()), VTWIDUNS_ERR_NO_COMM},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(s.result, s.expected) << s.what;
    }
    // A fault of the printer: the conversation cannot start.
    ASSERT_EQ(world_.Configure("desk", "fault = VTWIDUNS_CommStart -5 times 2"), "");
    EXPECT_EQ(commStart_(instance_, desk.c_str()), -5);
    EXPECT_EQ(commStart_(instance_, desk.c_str()), -5);
    EXPECT_EQ(commStart_(instance_, desk.c_str()), VTWIDUNS_OK);
    // A destroyed instance lets the device go.
    destroy_(instance_);
    EXPECT_EQ(commStart_(other, desk.c_str()), VTWIDUNS_OK);
    instance_ = other;
}

TEST_F(VtwidunsTest, InterfacesListTheChannelsOfTheRadioBands) {
    struct Case {
        const char* printer;
        bool has5GHz;
    };
    for (const Case& c : {Case{"desk", true}, Case{"radio24", false}}) {
        SCOPED_TRACE(c.printer);
        const std::string key = Key(c.printer);
        ASSERT_EQ(commStart_(instance_, key.c_str()), 0);
        const auto entries = Info(key, VTWIDUNS_INFO_INTERFACES, VTWIDUNS_INTERFACE_CELLS);
        std::vector<std::string> names;
        std::string channels;
        for (const std::string& e : entries) {
            names.push_back(Cell(e, 0));
            if (Cell(e, 0) == "wireless0") {
                channels = Cell(e, 7);
            }
        }
        EXPECT_EQ(names, (std::vector<std::string>{"wired0", "wireless0"}));
        EXPECT_EQ(channels.substr(0, 8), "1 2 3 4 ");
        EXPECT_EQ(channels.find(" 13") != std::string::npos, true);
        EXPECT_EQ(channels.find(" 36 ") != std::string::npos, c.has5GHz);
        EXPECT_EQ(channels.find(" 165") != std::string::npos, c.has5GHz);
        commEnd_(instance_, key.c_str());
    }
}

TEST_F(VtwidunsTest, TheScanListsTheNetworksThePrinterSees) {
    const std::string desk = Key("desk");
    ASSERT_EQ(commStart_(instance_, desk.c_str()), 0);
    EXPECT_TRUE(Info(desk, VTWIDUNS_INFO_ACCESS_POINTS, VTWIDUNS_ACCESS_POINT_CELLS).empty())
        << "nothing before a scan";
    EXPECT_EQ(control_(instance_, desk.c_str(), 2, 0), VTWIDUNS_ERR_PARAM);
    ASSERT_EQ(control_(instance_, desk.c_str(), VTWIDUNS_CONTROL_AP_SCAN, 0), 0);
    const auto aps = Info(desk, VTWIDUNS_INFO_ACCESS_POINTS, VTWIDUNS_ACCESS_POINT_CELLS);
    struct Row {
        const char* ssidHex;
        const char* signal;
        const char* cell6;
        const char* cell9;
    };
    const Row rows[] = {
        {"486F6D654E6574", "-42", "1", "0"},
        {"4F70656E43616665", "-60", "0", "0"},
        {"4E65696768626F7572203547", "-70", "0", "1"},
    };
    ASSERT_EQ(aps.size(), std::size(rows));
    for (std::size_t i = 0; i < aps.size(); ++i) {
        EXPECT_EQ(Cell(aps[i], 0), rows[i].ssidHex);
        EXPECT_EQ(Cell(aps[i], 3), rows[i].signal);
        EXPECT_EQ(Cell(aps[i], 6), rows[i].cell6);
        EXPECT_EQ(Cell(aps[i], 9), rows[i].cell9);
    }
    EXPECT_EQ(Cell(aps[2], 1), "0A0B0C0D0E0F");
    // The scan takes the networks the printer sees when it runs.
    ASSERT_EQ(world_.Configure("desk", "ap = none"), "");
    EXPECT_EQ(Info(desk, VTWIDUNS_INFO_ACCESS_POINTS, VTWIDUNS_ACCESS_POINT_CELLS).size(), 3u);
    ASSERT_EQ(control_(instance_, desk.c_str(), VTWIDUNS_CONTROL_AP_SCAN, 0), 0);
    EXPECT_TRUE(Info(desk, VTWIDUNS_INFO_ACCESS_POINTS, VTWIDUNS_ACCESS_POINT_CELLS).empty());
}

TEST_F(VtwidunsTest, TheSettingsBlockIsReadWithItsMaskedKey) {
    struct Case {
        std::string block;
        int size;
        int result;
        const char* readBack; // the block as the printer read it; null: it kept none
        const char* joined;
    };
    const std::string homeNet = SettingsBlock("HomeNet", "correct horse", true, "AP1");
    std::string wrongSection = homeNet;
    wrongSection.replace(0, 9, "wireless1");
    std::string badHex = homeNet;
    std::memcpy(badHex.data() + 18 * VTWIDUNS_CELL_BYTES, "48ZZ", 5);
    std::string noTerminator = homeNet;
    std::memset(noTerminator.data() + 20 * VTWIDUNS_CELL_BYTES, 'x', VTWIDUNS_CELL_BYTES);
    const Case cases[] = {
        {homeNet, VTWIDUNS_SETTINGS_BYTES, 0, "ssid=HomeNet secured=1 key=correct horse ap=AP1",
         "yes"},
        {SettingsBlock("HomeNet", "wrong horse", true, "AP1"), VTWIDUNS_SETTINGS_BYTES, 0,
         "ssid=HomeNet secured=1 key=wrong horse ap=AP1", "no"},
        {SettingsBlock("OpenCafe", "", false, "AP2"), VTWIDUNS_SETTINGS_BYTES, 0,
         "ssid=OpenCafe secured=0 key= ap=AP2", "yes"},
        {SettingsBlock("Elsewhere", "k", true, "AP3"), VTWIDUNS_SETTINGS_BYTES, 0,
         "ssid=Elsewhere secured=1 key=k ap=AP3", "no"},
        {homeNet, VTWIDUNS_SETTINGS_BYTES - 1, VTWIDUNS_ERR_PARAM, nullptr, "no"},
        {wrongSection, VTWIDUNS_SETTINGS_BYTES, VTWIDUNS_ERR_PARAM, nullptr, "no"},
        {badHex, VTWIDUNS_SETTINGS_BYTES, VTWIDUNS_ERR_PARAM, nullptr, "no"},
        {noTerminator, VTWIDUNS_SETTINGS_BYTES, VTWIDUNS_ERR_PARAM, nullptr, "no"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        ASSERT_EQ(world_.Load(kWorld), "");
        const std::string desk = Key("desk");
        ASSERT_EQ(commStart_(instance_, desk.c_str()), 0);
        EXPECT_EQ(setInfo_(instance_, desk.c_str(), VTWIDUNS_SET_WIRELESS, c.block.data(), c.size),
                  c.result);
        EXPECT_EQ(world_.Get("desk", "wireless-block"), c.readBack ? c.readBack : "");
        EXPECT_EQ(world_.Get("desk", "wifi-joined"), c.joined);
        EXPECT_EQ(world_.Get("desk", "ipv4"), std::string(c.joined) == "yes" ? "192.168.1.45" : "");
        commEnd_(instance_, desk.c_str());
    }
    EXPECT_EQ(setInfo_(instance_, Key("desk").c_str(), VTWIDUNS_SET_WIRELESS, homeNet.data(),
                       VTWIDUNS_SETTINGS_BYTES),
              VTWIDUNS_ERR_NO_COMM);
}

} // namespace
} // namespace qelworld::test
