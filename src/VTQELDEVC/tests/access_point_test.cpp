// The access-point slots of the device object over a scripted USB wrapper and device library and
// a scripted WLAN service: the printer's search by either library, the list it makes, the saved
// profile it picks, and what an apply writes into the printer.
#include "fake_wlan.h"
#include "scripted_outside.h"

#include "vtesdev_lib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace vtqeldevc::test {
namespace {

using Strings = std::vector<std::string>;
using Names = std::vector<std::wstring>;
using Waits = std::vector<unsigned>;

tagUsbSnmpApSearchResultInfo Row(const std::string& ssid, int signal, int authentication,
                                 int channel = 6, int encryption = 4) {
    tagUsbSnmpApSearchResultInfo row{};
    std::strncpy(row.dot11APSearchResultSsid_, ssid.c_str(), 32);
    row.dot11APSearchResultSignalLevel_ = signal;
    row.dot11APSearchResultAuthentication_ = authentication;
    row.dot11APSearchResultChannel_ = channel;
    row.dot11APSearchResultEncryption_ = encryption;
    return row;
}

Cells UnsPoint(const std::string& hex_ssid, const std::string& signal, bool secured = true) {
    Cells cells(VTWIDUNS_ACCESS_POINT_CELLS);
    cells[0] = hex_ssid;
    cells[1] = "bssid-" + hex_ssid;
    cells[3] = signal;
    cells[6] = secured ? "1" : "0";
    return cells;
}

DeviceConnection Connection(int kind) {
    DeviceConnection c{};
    c.kind = static_cast<unsigned char>(kind);
    std::strcpy(c.serialNumber, "SER1");
    std::strcpy(c.modelName, "VT-M200");
    std::strcpy(c.deviceKey, "usb-key-1");
    return c;
}

// The wrapper calls of a journal in short: I GetInfo, S SetInfo, E<flags>/<mode> a search with
// parameters, L the result list, W the plain search, C the device library's conversation.
std::string Calls(const Strings& journal) {
    std::string calls;
    for (const std::string& e : journal) {
        std::istringstream words(e);
        std::string head;
        std::string flags;
        std::string mode;
        words >> head >> flags >> mode >> mode;
        // The device library's own GetInfo and SetInfo name kinds other than 3.
        const std::string code = head == "GetInfo" && flags == "3"     ? "I"
                                 : head == "SetInfo" && flags == "3"   ? "S"
                                 : head == "ExecuteWithParams"         ? "E" + flags + "/" + mode
                                 : head == "GetApSearchResultInfoList" ? "L"
                                 : head == "ApSearchAndWait"           ? "W"
                                 : head == "CommStart"                 ? "C"
                                                                       : "";
        calls += code.empty() ? "" : (calls.empty() ? "" : " ") + code;
    }
    return calls;
}

class AccessPointTest : public ::testing::Test {
protected:
    void SetUp() override {
        Platform platform = outside_.platform();
        platform.wlan = &wlan_.api();
        device_ = std::make_unique<VTESDevLib>(::GetModuleHandleW(nullptr), platform);
        ASSERT_EQ(device_->Initialize(), 0);
    }
    void TearDown() override {
        device_->Terminate();
        EXPECT_EQ(wlan_.opened, wlan_.closed) << "every WLAN handle closed";
        EXPECT_EQ(wlan_.outstanding, 0);
    }
    void Fresh() {
        outside_.journal.clear();
        outside_.sleeps.clear();
    }

    // The result of a search and the SSID and key it chose.
    std::wstring Search(int kind, int ssid_chars = 33) {
        wchar_t ssid[40] = L"#";
        wchar_t key[80] = L"#";
        const DeviceConnection c = Connection(kind);
        const int result = device_->SearchAccessPoints(&c, ssid, ssid_chars, key, 65);
        return std::to_wstring(result) +
               (result == 0 ? L" " + std::wstring(ssid) + L"/" + key : L"");
    }
    Names List() {
        int count = 0;
        EXPECT_EQ(device_->GetAccessPointList(nullptr, &count), 0);
        std::vector<AccessPointEntry> entries(static_cast<std::size_t>(count) + 1);
        EXPECT_EQ(device_->GetAccessPointList(entries.data(), &count), 0);
        Names names;
        for (int i = 0; i < count; ++i) {
            names.emplace_back(entries[static_cast<std::size_t>(i)].ssid);
        }
        return names;
    }

    ScriptedOutside outside_;
    FakeWlan wlan_;
    std::unique_ptr<VTESDevLib> device_;
};

TEST_F(AccessPointTest, ThePrintersSearchThroughTheWrapper) {
    const Names seen = {L"Home", L"Cafe", L"Office"};
    // What the PC knows: at home, elsewhere (a network the printer sees saved later), nothing
    // the printer sees, and no WLAN service at all.
    const std::vector<FakeInterface> pcs[] = {
        {Connected("Home", {Usable(L"Cafe", L"ck"), Usable(L"Home", L"hk")})},
        {Connected("Away", {Usable(L"Away"), Usable(L"Office", L"ok"), Usable(L"Cafe", L"ck")})},
        {Connected("Away", {Usable(L"Away"), Usable(L"Open")})},
        {}};
    struct Case {
        const char* name;
        int band;
        std::deque<int> executes;
        int get_info, list;
        std::optional<int> count;
        bool null_rows;
        int pc;
        const char* calls;
        Names listed;
        std::wstring found;
    } const cases[] = {
        {"2.4 GHz, at home", 2, {}, 0, 0, {}, false, 0, "I E4/0 L", seen, L"0 Home/hk"},
        {"5 GHz", 4, {}, 0, 0, {}, false, 0, "I E16/0 L", seen, L"0 Home/hk"},
        {"both bands, other bits ignored",
         15,
         {},
         0,
         0,
         {},
         false,
         0,
         "I E20/0 L",
         seen,
         L"0 Home/hk"},
        {"no band: no flag, bitmaps zero",
         0,
         {},
         0,
         0,
         {},
         false,
         0,
         "I E0/0 L",
         seen,
         L"0 Home/hk"},
        {"no row for the mode: mode 4",
         2,
         {-14, 0},
         0,
         0,
         {},
         false,
         0,
         "I E4/0 E4/4 L",
         seen,
         L"0 Home/hk"},
        {"no search by parameters", 2, {-13}, 0, 0, {}, false, 0, "I E4/0 W", seen, L"0 Home/hk"},
        {"nor in mode 4", 2, {-14, -13}, 0, 0, {}, false, 0, "I E4/0 E4/4 W", seen, L"0 Home/hk"},
        {"no row in mode 4 either", 2, {-14, -14}, 0, 0, {}, false, 0, "I E4/0 E4/4", {}, L"12"},
        {"the search times out", 2, {-9}, 0, 0, {}, false, 0, "I E4/0", {}, L"12"},
        {"the settings cannot be read", 2, {}, -6, 0, {}, false, 0, "I", {}, L"12"},
        {"the rows cannot be read", 2, {}, 0, -8, {}, false, 0, "I E4/0 L", {}, L"12"},
        {"a negative row count", 2, {}, 0, 0, -1, false, 0, "I E4/0 L", {}, L"12"},
        {"rows counted, none handed out", 2, {}, 0, 0, 3, true, 0, "I E4/0 L", {}, L"13"},
        {"elsewhere: the first saved one seen",
         2,
         {},
         0,
         0,
         {},
         false,
         1,
         "I E4/0 L",
         seen,
         L"0 Office/ok"},
        {"nothing saved is seen: the list stays",
         2,
         {},
         0,
         0,
         {},
         false,
         2,
         "I E4/0 L",
         seen,
         L"13"},
        {"no WLAN service: the list stays", 2, {}, 0, 0, {}, false, 3, "I E4/0 L", seen, L"13"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        outside_.wus = WusScript{0,
                                 c.band,
                                 c.executes,
                                 c.list,
                                 {Row("Home", -40, 7), Row("Open", -30, 0), Row("Cafe", -60, 6),
                                  Row("Home", -20, 9), Row("Future", -10, 12), Row("Wep", -35, 5),
                                  Row("Office", -60, 11)},
                                 c.count,
                                 c.null_rows};
        outside_.wus.get_info = c.get_info;
        wlan_.interfaces = pcs[c.pc];
        wlan_.open = c.pc == 3 ? ERROR_SERVICE_NOT_ACTIVE : ERROR_SUCCESS;
        EXPECT_EQ(Search(VTESDEV_CONNECTION_USB_WRAPPER), c.found);
        EXPECT_EQ(Calls(outside_.journal), c.calls);
        EXPECT_EQ(List(), c.listed);
        for (const auto& params : outside_.wus.params) {
            EXPECT_EQ(params.dot11APSearchExecuteParamChannel24ghz_, 0);
            EXPECT_EQ(params.dot11APSearchExecuteParamChannel5ghz_, 0);
        }
        EXPECT_TRUE(outside_.sleeps.empty());
    }
    wlan_.interfaces = pcs[0];
    wlan_.open = ERROR_SUCCESS;
    EXPECT_EQ(Search(VTESDEV_CONNECTION_USB_WRAPPER, 3), L"0 Ho/hk") << "cut to the caller's room";
}

TEST_F(AccessPointTest, ThePrintersSearchThroughTheDeviceLibrary) {
    const std::vector<Cells> points = {
        UnsPoint("486F6D65", "-40"),         UnsPoint("43616665", "-60"),
        UnsPoint("486F6D65", "-10"),         UnsPoint("4F70656E", "-5", false),
        UnsPoint("4F6666696365", "-60 dBm"), UnsPoint("4C6F7564", "strong")};
    const Names seen = {L"Loud", L"Home", L"Cafe", L"Office"};
    struct Case {
        const char* name;
        std::deque<int> comm_starts;
        std::string channels;
        int control;
        std::vector<Cells> access_points;
        std::wstring found;
        Waits waits;
        const char* calls;
        Names listed;
    } const cases[] = {
        {"2.4 GHz radio", {}, "1 6 11", 0, points, L"0 Home/hk", {7200}, "C", seen},
        {"5 GHz radio", {}, "1 36", 0, points, L"0 Home/hk", {14200}, "C", seen},
        {"busy twice, then free",
         {-3, -3},
         "",
         0,
         points,
         L"0 Home/hk",
         {1000, 1000, 7200},
         "C C C",
         seen},
        {"busy on every try",
         {-3, -3, -3, -3, -3},
         "",
         0,
         points,
         L"12",
         {1000, 1000, 1000},
         "C C C C",
         {}},
        {"the scan refused", {}, "", -2, points, L"12", {}, "C", {}},
        {"no access point", {}, "", 0, {}, L"12", {7200}, "C", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        outside_.uns = UnsScript{};
        outside_.uns.comm_starts = c.comm_starts;
        outside_.uns.interfaces = {Cells{"wireless0", "", "", "", "", "", "", c.channels}};
        outside_.uns.control = c.control;
        outside_.uns.access_points = c.access_points;
        wlan_.interfaces = {Connected("Home", {Usable(L"Home", L"hk")})};
        EXPECT_EQ(Search(VTESDEV_CONNECTION_USB_DEVICE_LIBRARY), c.found);
        EXPECT_EQ(outside_.sleeps, c.waits);
        EXPECT_EQ(Calls(outside_.journal), c.calls);
        EXPECT_EQ(List(), c.listed);
    }
}

TEST_F(AccessPointTest, TheListGivesNamesOnlyAsFarAsTheCallerAsks) {
    outside_.wus.rows = {Row("A", -10, 7), Row("B", -20, 7), Row("C", -30, 7), Row("D", -40, 7),
                         Row("E", -50, 7)};
    wlan_.interfaces = {Connected("A", {Usable(L"A")})};
    ASSERT_EQ(Search(VTESDEV_CONNECTION_USB_WRAPPER), L"0 A/key");
    for (const int asked : {1, 5, 9, 0, -3}) {
        AccessPointEntry out[9];
        std::memset(out, 0x7B, sizeof out);
        int count = asked;
        EXPECT_EQ(device_->GetAccessPointList(out, &count), 0);
        EXPECT_EQ(count, asked) << "the count is left as it was";
        for (int i = 0; i < 9; ++i) {
            const bool copied = i < std::clamp(asked, 0, 5);
            EXPECT_EQ(out[i].ssid[0], copied ? L'A' + i : 0x7B7B) << asked << " " << i;
            EXPECT_EQ(out[i].signal, 0x7B7B7B7B) << "only the name is written";
        }
    }
    AccessPointEntry entry{};
    wchar_t text[33];
    const DeviceConnection c = Connection(VTESDEV_CONNECTION_USB_WRAPPER);
    EXPECT_EQ(device_->GetAccessPointList(&entry, nullptr), 3);
    EXPECT_EQ(device_->SearchAccessPoints(&c, nullptr, 33, text, 33), 3);
    EXPECT_EQ(device_->SearchAccessPoints(&c, text, 33, nullptr, 33), 3);
    EXPECT_EQ(device_->SearchAccessPoints(nullptr, text, 33, text, 33), 3);
}

TEST_F(AccessPointTest, AnApplyWritesTheChosenNetworkIntoThePrintersSettings) {
    // The scheme as found and as the printer takes it when it joins.
    for (const auto& [found, written] :
         std::vector<std::pair<int, int>>{{6, 10}, {7, 11}, {8, 10}, {9, 11}, {10, 10}, {11, 11}}) {
        SCOPED_TRACE(found);
        outside_.wus = WusScript{};
        outside_.wus.band = 6;
        outside_.wus.rows = {Row("Home", -40, found, 11, 3), Row("Home", -50, 6, 1, 1)};
        Search(VTESDEV_CONNECTION_USB_WRAPPER);
        Fresh();
        const DeviceConnection c = Connection(VTESDEV_CONNECTION_USB_WRAPPER);
        EXPECT_EQ(device_->ApplyAccessPoint(&c, L"Home", L"pass word"), 0);
        EXPECT_EQ(Calls(outside_.journal), "I S");
        EXPECT_EQ(outside_.sleeps, Waits{60000});
        ASSERT_EQ(outside_.wus.written.size(), 1u);
        const tagUsbSnmpInfraInfo& w = outside_.wus.written[0];
        EXPECT_EQ(w.dot11Mode_, 4);
        EXPECT_EQ(w.ipv4AddressMethod_, 1);
        EXPECT_EQ(w.ipv6Enable_, 1);
        EXPECT_STREQ(w.ssid_, "Home");
        EXPECT_EQ(w.authentication_, written);
        EXPECT_EQ(w.encryption_, 3) << "of the first row of that name";
        EXPECT_STREQ(w.networkKey_, "pass word");
        EXPECT_EQ(w.channel_, 11);
        EXPECT_EQ(w.band_, 6) << "the rest as the printer reported it";
    }
}

TEST_F(AccessPointTest, AnApplyRefusesWhatItCannotWriteWhole) {
    const DeviceConnection wrapper = Connection(VTESDEV_CONNECTION_USB_WRAPPER);
    const DeviceConnection uns = Connection(VTESDEV_CONNECTION_USB_DEVICE_LIBRARY);
    const std::wstring s32(32, L'S');
    const std::wstring s33(33, L'S');
    const std::wstring k64(64, L'k');
    const std::wstring k65(65, L'k');
    struct Case {
        const char* name;
        const DeviceConnection* connection;
        const wchar_t* ssid;
        const wchar_t* key;
        int set_info;
        int result;
        const char* calls;
        Waits waits;
    } const cases[] = {
        {"a 32-byte name, a 64-byte key", &wrapper, s32.c_str(), k64.c_str(), 0, 0, "I S", {60000}},
        {"the write refused: still the wait", &wrapper, L"Home", L"k", -8, 2, "I S", {60000}},
        {"a network not seen", &wrapper, L"Other", L"k", 0, 2, "", {}},
        {"a 33-byte name", &wrapper, s33.c_str(), L"k", 0, 2, "", {}},
        {"a 65-byte key", &wrapper, L"Home", k65.c_str(), 0, 2, "", {}},
        {"a 65-byte key for the device library", &uns, L"Home", k65.c_str(), 0, 2, "", {}},
        {"an empty name: nothing to do", &wrapper, L"", L"k", 0, 0, "", {}},
        {"no key: nothing to do", &wrapper, L"Home", nullptr, 0, 0, "", {}},
        {"no name", &wrapper, nullptr, L"k", 0, 3, "", {}},
        {"no connection", nullptr, L"Home", L"k", 0, 3, "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.wus = WusScript{};
        outside_.wus.rows = {Row("Home", -40, 7), Row(std::string(32, 'S'), -50, 7)};
        outside_.uns = UnsScript{};
        outside_.uns.access_points = {UnsPoint("486F6D65", "-40")};
        Search(VTESDEV_CONNECTION_USB_WRAPPER);
        Search(VTESDEV_CONNECTION_USB_DEVICE_LIBRARY);
        Fresh();
        outside_.wus.set_info = c.set_info;
        EXPECT_EQ(device_->ApplyAccessPoint(c.connection, c.ssid, c.key), c.result);
        EXPECT_EQ(Calls(outside_.journal), c.calls);
        EXPECT_EQ(outside_.sleeps, c.waits);
        EXPECT_TRUE(outside_.uns.settings.empty());
    }
    // Through the device library: its settings block, and a refused write.
    Fresh();
    EXPECT_EQ(device_->ApplyAccessPoint(&uns, L"Home", L"secret"), 0);
    EXPECT_EQ(outside_.sleeps, Waits{60000});
    ASSERT_EQ(outside_.uns.settings.size(), static_cast<std::size_t>(VTWIDUNS_SETTINGS_BYTES));
    EXPECT_STREQ(outside_.uns.settings.data() + 18 * VTWIDUNS_CELL_BYTES, "486F6D65");
    EXPECT_STREQ(outside_.uns.settings.data() + 20 * VTWIDUNS_CELL_BYTES, "bssid-486F6D65");
    outside_.uns.set_info = -2;
    EXPECT_EQ(device_->ApplyAccessPoint(&uns, L"Home", L"secret"), 2);
}

} // namespace
} // namespace vtqeldevc::test
