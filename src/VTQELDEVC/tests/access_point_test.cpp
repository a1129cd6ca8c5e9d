// The access-point slots of the device object over a scripted USB wrapper and device library and
// a scripted WLAN service: the printer's search by either library, the list it makes, the saved
// profile it picks, and what an apply writes into the printer.
#include "fake_wlan.h"
#include "scripted_outside.h"

#include "vtesdev_lib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace vtqeldevc::test {
namespace {

using Strings = std::vector<std::string>;
using Waits = std::vector<unsigned>;

tagUsbSnmpApSearchResultInfo Row(const char* ssid, int signal, int authentication, int channel = 6,
                                 int encryption = 4) {
    tagUsbSnmpApSearchResultInfo row{};
    std::strncpy(row.dot11APSearchResultSsid_, ssid, 32);
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

Cells Wireless0(const std::string& channels) {
    Cells cells(VTWIDUNS_INTERFACE_CELLS);
    cells[0] = "wireless0";
    cells[7] = channels;
    return cells;
}

FakeProfile Usable(const std::wstring& ssid, const std::wstring& key = L"key") {
    return {ssid, ProfileXml(ssid, ssid, L"passPhrase", L"false", key)};
}

FakeInterface Connected(const std::string& ssid, std::vector<FakeProfile> profiles) {
    FakeInterface face;
    face.state = wlan_interface_state_connected;
    face.connected_ssid = ssid;
    face.profiles = std::move(profiles);
    return face;
}

DeviceConnection WrapperConnection() {
    DeviceConnection c{};
    c.kind = VTESDEV_CONNECTION_USB_WRAPPER;
    std::strcpy(c.serialNumber, "SER1");
    std::strcpy(c.modelName, "VT-M200");
    return c;
}

DeviceConnection DeviceLibraryConnection() {
    DeviceConnection c{};
    c.kind = VTESDEV_CONNECTION_USB_DEVICE_LIBRARY;
    std::strcpy(c.deviceKey, "usb-key-1");
    return c;
}

// The wrapper calls of a journal, without the loads and instances.
Strings WrapperCalls(const Strings& journal) {
    Strings calls;
    for (const std::string& e : journal) {
        for (const char* head : {"GetInfo", "SetInfo", "ExecuteWithParams", "GetApSearch",
                                 "ApSearchAndWait", "CommStart", "Control"}) {
            if (e.rfind(head, 0) == 0) {
                calls.push_back(e);
            }
        }
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
        outside_.journal.clear();
    }
    void TearDown() override {
        device_->Terminate();
        EXPECT_EQ(wlan_.opened, wlan_.closed) << "every WLAN handle closed";
        EXPECT_EQ(wlan_.outstanding, 0);
    }

    struct Found {
        int result;
        std::wstring ssid;
        std::wstring key;
    };
    Found Search(const DeviceConnection& connection, int ssid_chars = 33, int key_chars = 65) {
        wchar_t ssid[80];
        wchar_t key[80];
        std::fill(std::begin(ssid), std::end(ssid), L'#');
        std::fill(std::begin(key), std::end(key), L'#');
        const int result =
            device_->SearchAccessPoints(&connection, ssid, ssid_chars, key, key_chars);
        return {result, result == 0 ? ssid : L"", result == 0 ? key : L""};
    }
    // The names of the list, as GetAccessPointList hands them out.
    std::vector<std::wstring> List() {
        int count = 0;
        EXPECT_EQ(device_->GetAccessPointList(nullptr, &count), 0);
        std::vector<AccessPointEntry> entries(static_cast<std::size_t>(count) + 1);
        EXPECT_EQ(device_->GetAccessPointList(entries.data(), &count), 0);
        std::vector<std::wstring> names;
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
    const std::vector<tagUsbSnmpApSearchResultInfo> rows = {
        Row("Home", -40, 7),    Row("Open", -30, 0), Row("Cafe", -60, 6),   Row("Home", -20, 9),
        Row("Future", -10, 12), Row("Wep", -35, 5),  Row("Office", -60, 11)};
    const std::vector<std::wstring> seen = {L"Home", L"Cafe", L"Office"};
    const FakeInterface home =
        Connected("Home", {Usable(L"Cafe", L"cafe key"), Usable(L"Home", L"home key")});
    const std::string execute = "ExecuteWithParams ";
    struct Case {
        const char* name;
        int band = 2;
        std::deque<int> executes{};
        int get_info = 0;
        int list = 0;
        std::optional<int> count{};
        bool null_rows = false;
        DWORD wlan_open = ERROR_SUCCESS;
        std::vector<FakeInterface> interfaces{};
        int ssid_chars = 33;
        int result = 0;
        Strings calls{};
        std::vector<std::wstring> listed{};
        std::wstring ssid{};
        std::wstring key{};
    };
    const Case cases[] = {
        {.name = "2.4 GHz: the connected network, seen, is chosen",
         .interfaces = {home},
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1", "GetApSearchResultInfoList"},
         .listed = seen,
         .ssid = L"Home",
         .key = L"home key"},
        {.name = "5 GHz only",
         .band = 4,
         .interfaces = {home},
         .calls = {"GetInfo 3 SER1", execute + "16 mode 0 wait 1 SER1",
                   "GetApSearchResultInfoList"},
         .listed = seen,
         .ssid = L"Home",
         .key = L"home key"},
        {.name = "both bands, other bits ignored",
         .band = 2 | 4 | 1 | 8,
         .interfaces = {home},
         .calls = {"GetInfo 3 SER1", execute + "20 mode 0 wait 1 SER1",
                   "GetApSearchResultInfoList"},
         .listed = seen,
         .ssid = L"Home",
         .key = L"home key"},
        {.name = "no band: no flags and zero bitmaps, as written",
         .band = 0,
         .interfaces = {home},
         .calls = {"GetInfo 3 SER1", execute + "0 mode 0 wait 1 SER1", "GetApSearchResultInfoList"},
         .listed = seen,
         .ssid = L"Home",
         .key = L"home key"},
        {.name = "no support-table row: once more in mode 4",
         .executes = {-14, 0},
         .interfaces = {home},
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1",
                   execute + "4 mode 4 wait 1 SER1", "GetApSearchResultInfoList"},
         .listed = seen,
         .ssid = L"Home",
         .key = L"home key"},
        {.name = "no search by parameters: the plain search",
         .executes = {-13},
         .interfaces = {home},
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1", "ApSearchAndWait"},
         .listed = seen,
         .ssid = L"Home",
         .key = L"home key"},
        {.name = "mode 4 not supported either: the plain search",
         .executes = {-14, -13},
         .interfaces = {home},
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1",
                   execute + "4 mode 4 wait 1 SER1", "ApSearchAndWait"},
         .listed = seen,
         .ssid = L"Home",
         .key = L"home key"},
        {.name = "mode 4 has no row either",
         .executes = {-14, -14},
         .result = 12,
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1",
                   execute + "4 mode 4 wait 1 SER1"}},
        {.name = "the search times out",
         .executes = {-9},
         .result = 12,
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1"}},
        {.name = "the settings cannot be read",
         .get_info = -6,
         .result = 12,
         .calls = {"GetInfo 3 SER1"}},
        {.name = "the rows cannot be read",
         .list = -8,
         .result = 12,
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1",
                   "GetApSearchResultInfoList"}},
        {.name = "a negative row count",
         .count = -1,
         .result = 12,
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1",
                   "GetApSearchResultInfoList"}},
        {.name = "rows counted but none handed out",
         .count = 3,
         .null_rows = true,
         .interfaces = {home},
         .result = 13,
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1",
                   "GetApSearchResultInfoList"}},
        {.name = "connected but not seen: the first saved one that is",
         .interfaces = {Connected(
             "Elsewhere", {Usable(L"Elsewhere"), Usable(L"Office", L"o"), Usable(L"Cafe", L"c")})},
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1", "GetApSearchResultInfoList"},
         .listed = seen,
         .ssid = L"Office",
         .key = L"o"},
        {.name = "nothing saved matches: the list stays",
         .interfaces = {Connected("Elsewhere", {Usable(L"Elsewhere"), Usable(L"Open")})},
         .result = 13,
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1", "GetApSearchResultInfoList"},
         .listed = seen},
        {.name = "no WLAN service: the list stays",
         .wlan_open = ERROR_SERVICE_NOT_ACTIVE,
         .result = 13,
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1", "GetApSearchResultInfoList"},
         .listed = seen},
        {.name = "the SSID cut to the caller's buffer",
         .interfaces = {home},
         .ssid_chars = 3,
         .calls = {"GetInfo 3 SER1", execute + "4 mode 0 wait 1 SER1", "GetApSearchResultInfoList"},
         .listed = seen,
         .ssid = L"Ho",
         .key = L"home key"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.journal.clear();
        outside_.wus = WusScript{};
        outside_.wus.band = c.band;
        outside_.wus.executes = c.executes;
        outside_.wus.get_info = c.get_info;
        outside_.wus.list = c.list;
        outside_.wus.rows = rows;
        outside_.wus.count = c.count;
        outside_.wus.null_rows = c.null_rows;
        wlan_.open = c.wlan_open;
        wlan_.interfaces = c.interfaces;
        const Found found = Search(WrapperConnection(), c.ssid_chars);
        EXPECT_EQ(found.result, c.result);
        EXPECT_EQ(found.ssid, c.ssid);
        EXPECT_EQ(found.key, c.key);
        EXPECT_EQ(WrapperCalls(outside_.journal), c.calls);
        EXPECT_EQ(List(), c.listed);
        for (const auto& params : outside_.wus.params) {
            EXPECT_EQ(params.dot11APSearchExecuteParamChannel24ghz_, 0);
            EXPECT_EQ(params.dot11APSearchExecuteParamChannel5ghz_, 0);
        }
        EXPECT_TRUE(outside_.sleeps.empty());
    }
}

TEST_F(AccessPointTest, ThePrintersSearchThroughTheDeviceLibrary) {
    const std::vector<Cells> points = {UnsPoint("486F6D65", "-40"),         // Home
                                       UnsPoint("43616665", "-60"),         // Cafe
                                       UnsPoint("486F6D65", "-10"),         // Home again
                                       UnsPoint("4F70656E", "-5", false),   // Open
                                       UnsPoint("4F6666696365", "-60 dBm"), // Office
                                       UnsPoint("4C6F7564", "strong")};     // Loud
    const FakeInterface home = Connected("Home", {Usable(L"Home", L"home key")});
    struct Case {
        const char* name;
        std::deque<int> comm_starts;
        std::vector<Cells> interfaces;
        int control = 0;
        std::vector<Cells> access_points;
        int result;
        Waits waits;
        int comm_tries;
        std::vector<std::wstring> listed;
    } const cases[] = {
        {"2.4 GHz radio",
         {},
         {Wireless0("1 6 11")},
         0,
         points,
         0,
         {7200},
         1,
         {L"Loud", L"Home", L"Cafe", L"Office"}},
        {"5 GHz radio",
         {},
         {Wireless0("1 36")},
         0,
         points,
         0,
         {14200},
         1,
         {L"Loud", L"Home", L"Cafe", L"Office"}},
        {"busy twice, then free",
         {-3, -3},
         {},
         0,
         points,
         0,
         {1000, 1000, 7200},
         3,
         {L"Loud", L"Home", L"Cafe", L"Office"}},
        {"busy on every try", {-3, -3, -3, -3, -3}, {}, 0, points, 12, {1000, 1000, 1000}, 4, {}},
        {"the scan is refused", {}, {}, -2, points, 12, {}, 1, {}},
        {"no access point", {}, {}, 0, {}, 12, {7200}, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.journal.clear();
        outside_.sleeps.clear();
        outside_.uns = UnsScript{};
        outside_.uns.comm_starts = c.comm_starts;
        outside_.uns.interfaces = c.interfaces;
        outside_.uns.control = c.control;
        outside_.uns.access_points = c.access_points;
        wlan_.interfaces = {home};
        const Found found = Search(DeviceLibraryConnection());
        EXPECT_EQ(found.result, c.result);
        EXPECT_EQ(found.ssid, c.result == 0 ? L"Home" : L"");
        EXPECT_EQ(outside_.sleeps, c.waits);
        EXPECT_EQ(
            std::count(outside_.journal.begin(), outside_.journal.end(), "CommStart usb-key-1"),
            c.comm_tries);
        EXPECT_EQ(List(), c.listed);
    }
}

TEST_F(AccessPointTest, TheListGivesNamesOnlyAsFarAsTheCallerAsks) {
    outside_.wus.rows = {Row("A", -10, 7), Row("B", -20, 7), Row("C", -30, 7), Row("D", -40, 7),
                         Row("E", -50, 7)};
    wlan_.interfaces = {Connected("A", {Usable(L"A")})};
    ASSERT_EQ(Search(WrapperConnection()).result, 0);
    struct Case {
        int count;
        int copied;
    } const cases[] = {{1, 1}, {5, 5}, {9, 5}, {0, 0}, {-3, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        AccessPointEntry out[9];
        std::memset(out, 0x7B, sizeof out);
        int count = c.count;
        EXPECT_EQ(device_->GetAccessPointList(out, &count), 0);
        EXPECT_EQ(count, c.count) << "the count is left as it was";
        for (int i = 0; i < 9; ++i) {
            if (i < c.copied) {
                EXPECT_EQ(std::wstring(out[i].ssid),
                          std::wstring(1, static_cast<wchar_t>(L'A' + i)));
                EXPECT_EQ(out[i].signal, 0x7B7B7B7B) << "only the name is written";
            } else {
                EXPECT_EQ(out[i].ssid[0], static_cast<wchar_t>(0x7B7B));
            }
        }
    }
    int count = 0;
    EXPECT_EQ(device_->GetAccessPointList(nullptr, &count), 0);
    EXPECT_EQ(count, 5);
    AccessPointEntry entry{};
    EXPECT_EQ(device_->GetAccessPointList(&entry, nullptr), 3);
    wchar_t text[33];
    const DeviceConnection connection = WrapperConnection();
    EXPECT_EQ(device_->SearchAccessPoints(&connection, nullptr, 33, text, 33), 3);
    EXPECT_EQ(device_->SearchAccessPoints(&connection, text, 33, nullptr, 33), 3);
    EXPECT_EQ(device_->SearchAccessPoints(nullptr, text, 33, text, 33), 3);
}

TEST_F(AccessPointTest, AnApplyWritesTheChosenNetworkIntoThePrintersSettings) {
    struct Case {
        int authentication;
        int written;
    } const cases[] = {{6, 10}, {7, 11}, {8, 10}, {9, 11}, {10, 10}, {11, 11}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.authentication);
        outside_.wus = WusScript{};
        outside_.wus.band = 6;
        outside_.wus.rows = {Row("Home", -40, c.authentication, 11, 3), Row("Home", -50, 6, 1, 1)};
        const DeviceConnection connection = WrapperConnection();
        Search(connection);
        outside_.journal.clear();
        outside_.sleeps.clear();
        EXPECT_EQ(device_->ApplyAccessPoint(&connection, L"Home", L"pass word"), 0);
        EXPECT_EQ(WrapperCalls(outside_.journal), (Strings{"GetInfo 3 SER1", "SetInfo 3 SER1"}));
        EXPECT_EQ(outside_.sleeps, Waits{60000});
        ASSERT_EQ(outside_.wus.written.size(), 1u);
        const tagUsbSnmpInfraInfo& w = outside_.wus.written[0];
        EXPECT_EQ(w.dot11Mode_, 4);
        EXPECT_EQ(w.ipv4AddressMethod_, 1);
        EXPECT_EQ(w.ipv6Enable_, 1);
        EXPECT_STREQ(w.ssid_, "Home");
        EXPECT_EQ(w.authentication_, c.written);
        EXPECT_EQ(w.encryption_, 3) << "of the first row of that name";
        EXPECT_STREQ(w.networkKey_, "pass word");
        EXPECT_EQ(w.channel_, 11);
        EXPECT_EQ(w.band_, 6) << "the rest as the printer reported it";
        EXPECT_EQ(w.networkSelect_, 0);
    }
}

TEST_F(AccessPointTest, AnApplyRefusesWhatItCannotWriteWhole) {
    const DeviceConnection wrapper = WrapperConnection();
    const DeviceConnection uns = DeviceLibraryConnection();
    const std::wstring key64(64, L'k');
    const std::wstring key65(65, L'k');
    const std::wstring ssid32(32, L'S');
    const std::wstring ssid33(33, L'S');
    struct Case {
        const char* name;
        const DeviceConnection* connection;
        const wchar_t* ssid;
        const wchar_t* key;
        int set_info;
        int result;
        Strings calls;
        Waits waits;
    } const cases[] = {
        {"a 32-byte name and a 64-byte key fit",
         &wrapper,
         ssid32.c_str(),
         key64.c_str(),
         0,
         0,
         {"GetInfo 3 SER1", "SetInfo 3 SER1"},
         {60000}},
        {"the write refused: still the wait",
         &wrapper,
         L"Home",
         L"k",
         -8,
         2,
         {"GetInfo 3 SER1", "SetInfo 3 SER1"},
         {60000}},
        {"a network the printer did not see", &wrapper, L"Other", L"k", 0, 2, {}, {}},
        {"a 33-byte name", &wrapper, ssid33.c_str(), L"k", 0, 2, {}, {}},
        {"a 65-byte key", &wrapper, L"Home", key65.c_str(), 0, 2, {}, {}},
        {"a 65-byte key to the device library", &uns, L"Home", key65.c_str(), 0, 2, {}, {}},
        {"an empty name: nothing to do", &wrapper, L"", L"k", 0, 0, {}, {}},
        {"no key: nothing to do", &wrapper, L"Home", nullptr, 0, 0, {}, {}},
        {"no name", &wrapper, nullptr, L"k", 0, 3, {}, {}},
        {"no connection", nullptr, L"Home", L"k", 0, 3, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.wus = WusScript{};
        outside_.wus.rows = {Row("Home", -40, 7), Row(std::string(32, 'S').c_str(), -50, 7)};
        outside_.uns = UnsScript{};
        outside_.uns.access_points = {UnsPoint("486F6D65", "-40")};
        wlan_.interfaces = {};
        Search(wrapper);
        Search(uns);
        outside_.journal.clear();
        outside_.sleeps.clear();
        outside_.wus.set_info = c.set_info;
        EXPECT_EQ(device_->ApplyAccessPoint(c.connection, c.ssid, c.key), c.result);
        EXPECT_EQ(WrapperCalls(outside_.journal), c.calls);
        EXPECT_EQ(outside_.sleeps, c.waits);
        EXPECT_TRUE(outside_.uns.settings.empty());
    }
}

TEST_F(AccessPointTest, AnApplyThroughTheDeviceLibraryWritesItsSettingsBlock) {
    outside_.uns.access_points = {UnsPoint("486F6D65", "-40")};
    const DeviceConnection connection = DeviceLibraryConnection();
    Search(connection);
    outside_.sleeps.clear();
    EXPECT_EQ(device_->ApplyAccessPoint(&connection, L"Home", L"secret"), 0);
    EXPECT_EQ(outside_.sleeps, Waits{60000});
    ASSERT_EQ(outside_.uns.settings.size(), static_cast<std::size_t>(VTWIDUNS_SETTINGS_BYTES));
    EXPECT_STREQ(outside_.uns.settings.data() + 18 * VTWIDUNS_CELL_BYTES, "486F6D65");
    EXPECT_STREQ(outside_.uns.settings.data() + 20 * VTWIDUNS_CELL_BYTES, "bssid-486F6D65");
    outside_.uns.set_info = -2;
    EXPECT_EQ(device_->ApplyAccessPoint(&connection, L"Home", L"secret"), 2);
}

} // namespace
} // namespace vtqeldevc::test
