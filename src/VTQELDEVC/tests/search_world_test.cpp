// The printer search of the device object in this process, beside the stand-in libraries of the
// build's program folder, against printers of the simulated world: the network search in
// batches with its filter, scopes, IPv6 fallback and a faulty enumeration; a cancel from another
// thread; the USB search with its matching and duplicates; a USB printer put on the network
// through the real USB wrapper and found there.
#include "fake_wlan.h"

#include "vtesdev_lib.h"

#include "qelworld/qelworld_client.h"
#include "win/module_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace vtqeldevc::test {
namespace {

using Strings = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// A printer on the network that the program offers, answering its capability after delay ms.
std::string NetworkPrinter(const std::string& name, const std::string& ipv4, int delay = 0) {
    return "[printer " + name + "]\nmodel = VT-" + name + "\nserial = SN-" + name +
           "\nipv4 = " + ipv4 + "\nqel-service = serviceA\nagreement = unknown\n" +
           (delay > 0 ? "reply-fault = device GetCapability delay " + std::to_string(delay) +
                            " times always\n"
                      : "");
}

// What a record says of its printer: "<model> <serial> <address> <kind>[ <port>]".
std::string Describe(const tagDeviceInfo& r) {
    std::string line;
    for (const wchar_t* text : {r.model, L" ", r.serialNumber, L" ", r.address, L" "}) {
        for (; *text != L'\0'; ++text) {
            line += static_cast<char>(*text);
        }
    }
    line += std::to_string(r.connection.kind);
    for (const wchar_t* port = r.connection.portName; *port != L'\0'; ++port) {
        line +=
            (port == r.connection.portName ? " " : "") + std::string(1, static_cast<char>(*port));
    }
    return line;
}

class SearchWorldTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(world_.Loaded()); }
    void TearDown() override { world_.Reset(); }

    void Load(const std::string& text, const Strings& world_lines = {}) {
        ASSERT_EQ(world_.Load(text), "");
        for (const std::string& line : world_lines) {
            ASSERT_EQ(world_.Configure("", line), "") << line;
        }
    }
    // A device object of this process that finds the stand-ins beside the test.
    static std::unique_ptr<VTESDevLib> Device(Platform platform = {}) {
        auto device = std::make_unique<VTESDevLib>(::GetModuleHandleW(nullptr), platform);
        EXPECT_EQ(device->Initialize(), 0);
        return device;
    }
    // The result of a search, then each record of the device list.
    static Strings Search(VTESDevLib& device, int usbOnly = 0) {
        int count = -1;
        const int result = device.SearchDevices(&count, usbOnly);
        Strings out{std::to_string(result)};
        std::vector<tagDeviceInfo> records(static_cast<std::size_t>(std::max(count, 0)) + 1);
        EXPECT_EQ(device.GetDeviceList(records.data(), count), 0);
        for (int i = 0; result == 0 && i < count; ++i) {
            out.push_back(Describe(records[static_cast<std::size_t>(i)]));
        }
        return out;
    }
    // The journal lines of the entries whose names start with head.
    Strings Calls(const std::string& head) const {
        Strings calls;
        for (const std::string& line : world_.Journal()) {
            if (line.rfind(head, 0) == 0) {
                calls.push_back(line);
            }
        }
        return calls;
    }

    qelworld::Client world_{qelwin::ThisModuleFolder()};
};

TEST_F(SearchWorldTest, NetworkPrintersAreAskedInBatchesAndOfferedInTheirOrder) {
    std::string printers;
    Strings offered{"0"};
    for (int i = 0; i < 9; ++i) {
        const std::string n = std::to_string(i);
        printers += NetworkPrinter("p" + n, "192.168.1.1" + n, 60);
        offered.push_back("VT-p" + n + " SN-p" + n + " 192.168.1.1" + n + " 0");
    }
    for (const auto& [processors, batch] :
         std::vector<std::pair<int, int>>{{0, 1}, {1, 1}, {2, 1}, {3, 2}, {5, 4}}) {
        SCOPED_TRACE(processors);
        Load(printers);
        Platform platform;
        platform.processors = [processors = processors] { return unsigned(processors); };
        auto device = Device(platform);
        world_.ClearJournal();
        EXPECT_EQ(Search(*device), offered);
        const int peak = std::stoi(world_.Get("", "peak-answers"));
        EXPECT_LE(peak, batch) << "no more printers asked at once than a batch";
        EXPECT_GE(peak, std::min(batch, 2));
    }
    EXPECT_EQ(BatchSize(-5), 1);
    EXPECT_EQ(BatchSize(8), 7);
}

TEST_F(SearchWorldTest, WhatTheNetworkSearchFindsAndOffers) {
    const std::string mixed =
        NetworkPrinter("qel", "192.168.1.31") +
        "[printer agreed]\nmodel = VT-agreed\nserial = SN-agreed\nipv4 = 192.168.1.32\n"
        "services = device\nagreement = agree\n"
        "[printer plain]\nipv4 = 192.168.1.33\nservices = device\nagreement = none\n"
        "[printer silent]\nipv4 = 192.168.1.34\nfault = pu2Write fail times always\n"
        "[printer hidden]\nipv4 = 192.168.1.35\nsearchable = no\n" +
        NetworkPrinter("last", "192.168.1.36");
    const std::string v6 = "[printer link]\nmodel = VT-link\nserial = SN-link\n"
                           "ipv6 = FE80::1:2%7\nqel-service = serviceA\n"
                           "[printer global]\nmodel = VT-global\nserial = SN-global\n"
                           "ipv6 = 2001:db8::5\nqel-service = serviceD\n";
    const std::string qel = "VT-qel SN-qel 192.168.1.31 0";
    const std::string agreed = "VT-agreed SN-agreed 192.168.1.32 0";
    const std::string last = "VT-last SN-last 192.168.1.36 0";
    const std::string fault = "fault = VTWNSCH_";
    const Strings found5 = {"VTWNSCH_Search -> 5"};
    struct Case {
        const char* name;
        std::string world;
        Strings faults;
        int usb_only;
        Strings searched;
        Strings searches;
        std::string first_target; // an address the identity reads were sent to
    } const cases[] = {
        {"the qel service or an agreement, in the order found",
         mixed,
         {},
         0,
         {"0", qel, agreed, last},
         found5,
         "192.168.1.31"},
        {"only the low byte asks for USB only",
         mixed,
         {},
         0x100,
         {"0", qel, agreed, last},
         found5,
         "192.168.1.31"},
        {"USB only", mixed, {}, 0x1FF, {"0"}, {}, ""},
        {"IPv4 unusable: IPv6, link-local addresses with their scope",
         v6,
         {fault + "Search -2"},
         0,
         {"0", "VT-link SN-link fe80::1:2%7 0", "VT-global SN-global 2001:db8::5 0"},
         {"VTWNSCH_Search -> -2", "VTWNSCH_SearchByIpv6 -> 2"},
         "fe80::1:2%7"},
        {"nothing found: not an error", "", {}, 0, {"0"}, {"VTWNSCH_Search -> 0"}, ""},
        {"both searches fail: no network printers",
         mixed,
         {fault + "Search -2", fault + "SearchByIpv6 -2"},
         0,
         {"0"},
         {"VTWNSCH_Search -> -2", "VTWNSCH_SearchByIpv6 -> -2"},
         ""},
        {"the listening time refused: no search",
         mixed,
         {fault + "OptSetting -2"},
         0,
         {"0"},
         {},
         ""},
        {"no instance", mixed, {fault + "CreateInstance fail"}, 0, {"2"}, {}, ""},
        {"the enumeration fails", mixed, {fault + "EnumSearchInfo -2"}, 0, {"2"}, found5, ""},
        {"fewer entries than found: only those",
         mixed,
         {fault + "EnumSearchInfo short times always"},
         0,
         {"0", qel, agreed},
         found5,
         "192.168.1.31"},
        {"a size of no whole number of entries",
         mixed,
         {fault + "EnumSearchInfo ragged times always"},
         0,
         {"0", qel, agreed, last},
         found5,
         "192.168.1.31"},
        {"addresses run on past their field: read within it",
         mixed,
         {fault + "EnumSearchInfo unterminated times always"},
         0,
         {"0"},
         found5,
         "192.168.1.31" + std::string(52, '0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.world, c.faults);
        auto device = Device();
        world_.ClearJournal();
        EXPECT_EQ(Search(*device, c.usb_only), c.searched);
        EXPECT_EQ(Calls("VTWNSCH_Search"), c.searches);
        // Identity reads run in parallel, so any of them may reach the port first: the address
        // asked for must be among the targets, in the form the port library was given.
        Strings addresses;
        for (const auto& target : Calls("pu2SetIP")) {
            std::string address;
            std::istringstream(target) >> address >> address >> address;
            addresses.push_back(address);
        }
        if (c.first_target.empty()) {
            EXPECT_TRUE(addresses.empty());
        } else {
            EXPECT_NE(std::find(addresses.begin(), addresses.end(), c.first_target),
                      addresses.end());
        }
        const bool made = c.usb_only == 0 && c.searched.front() == "0";
        EXPECT_EQ(Calls("VTWNSCH_DestroyInstance").size(), made || c.searches.size() ? 1u : 0u);
        EXPECT_EQ(world_.Get("", "loads vtwidsd"), world_.Get("", "unloads vtwidsd"));
    }
}

TEST_F(SearchWorldTest, ACancelFromAnotherThreadEndsALongSearchAtOnce) {
    Load(NetworkPrinter("qel", "192.168.1.31"), {"search-delay-ms = 30000"});
    auto device = Device();
    EXPECT_EQ(device->CancelSearch(), 0) << "no search running: nothing to cancel";
    world_.ClearJournal();
    std::atomic<Clock::time_point> ended{};
    auto search = std::async(std::launch::async, [&] {
        const Strings found = Search(*device);
        ended = Clock::now();
        return found;
    });
    // The search listens once its listening time is set.
    for (int i = 0; i < 500 && Calls("VTWNSCH_OptSetting").empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const Clock::time_point cancelled = Clock::now();
    EXPECT_EQ(device->CancelSearch(), 0);
    ASSERT_EQ(search.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(search.get(), Strings{"0"});
    EXPECT_LT(
        std::chrono::duration_cast<std::chrono::milliseconds>(ended.load() - cancelled).count(),
        200);
    EXPECT_EQ(Calls("VTWNSCH_Search"),
              (Strings{"VTWNSCH_Search -> cancelled", "VTWNSCH_SearchByIpv6 -> cancelled"}))
        << "the cancel holds for the IPv6 search too";

    // Cancels in a tight loop around the ends of searches never reach a gone instance.
    Load(NetworkPrinter("qel", "192.168.1.31"));
    std::atomic<bool> done{false};
    std::atomic<int> cancels{0};
    std::thread canceller([&] {
        for (; !done; ++cancels) {
            EXPECT_EQ(device->CancelSearch(), 0);
        }
    });
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(Search(*device).front(), "0");
    }
    done = true;
    canceller.join();
    EXPECT_GT(cancels.load(), 100);
    EXPECT_EQ(world_.Get("", "loads vtwidsd"), world_.Get("", "unloads vtwidsd"));
}

TEST_F(SearchWorldTest, UsbPrintersAreMatchedToTheirPortsAndListedOnce) {
    std::string printers;
    for (const char* p :
         {"desk USB001 vtwidwus", "blank USB002 vtwidwus", "both USB003 vtwidwus",
          "legacy USB004 vtwiduns", "broken USB005 vtwiduns", "roamer USB006 vtwidwus"}) {
        std::istringstream words(p);
        std::string name;
        std::string port;
        std::string library;
        words >> name >> port >> library;
        printers += "[printer " + name + "]\nmodel = VT-" + name +
                    "\nserial = " + (name == "blank" ? "000000000" : "SN-" + name) +
                    "\nusb-port = " + port + "\nusb = " + library +
                    (name == "both" ? " vtwiduns" : "") + "\nqel-service = serviceA\n";
    }
    ASSERT_EQ(world_.Load(printers), "");
    ASSERT_EQ(world_.Configure("broken", "fault = puOpenPort fail times always"), "");
    ASSERT_EQ(world_.Configure("roamer", "ipv4 = 192.168.1.50"), "");
    auto device = Device();
    EXPECT_EQ(Search(*device),
              (Strings{"0", "VT-roamer SN-roamer 192.168.1.50 0", "VT-desk SN-desk  2 USB001",
                       "VT-blank 000000000  2 USB002", "VT-both SN-both  2 USB003",
                       "VT-legacy SN-legacy  1 USB004"}));
    tagDeviceInfo records[6] = {};
    ASSERT_EQ(device->GetDeviceList(records, 6), 0);
    EXPECT_STREQ(records[1].connection.serialNumber, "SN-desk");
    EXPECT_STREQ(records[1].connection.modelName, "VT-desk");
    EXPECT_STREQ(records[2].connection.serialNumber, "") << "as the wrapper reported it";
    EXPECT_EQ(world_.Get("legacy", "device-key"), records[4].connection.deviceKey);
    EXPECT_EQ(records[5].model[0], L'\0') << "no more than the list";
    EXPECT_EQ(Search(*device, 1).size(), 6u) << "the roamer by USB when the network is not asked";

    int count = 0;
    tagDeviceInfo one{};
    EXPECT_EQ(device->SearchDevices(nullptr, 0), 3);
    EXPECT_EQ(device->GetDeviceList(nullptr, 1), 3);
    EXPECT_EQ(device->GetDeviceList(&one, 0), 0);
    EXPECT_EQ(device->GetDeviceList(&one, -4), 0);
    EXPECT_EQ(one.model[0], L'\0') << "nothing copied for 0 or less";
    EXPECT_EQ(device->SearchDevices(&count, 1), 0);
    EXPECT_EQ(count, 5);
}

TEST_F(SearchWorldTest, AUsbPrinterPutOnTheNetworkIsFoundThere) {
    Load(R"(
[printer desk]
model = VT-M200 Series
serial = 8D1W09012
usb-port = USB001
usb = vtwidwus
bands = 2.4 5
ap = HomeNet signal -42 channel 6 auth 7 encryption 4 key "correct horse"
ap = "Cafe Corner" signal -67 channel 11 auth 9 encryption 4 key latte
ap = OpenCafe signal -30 channel 1 auth 0
wifi-address = 192.168.1.45
qel-service = serviceA
agreement = unknown
)");
    FakeWlan wlan;
    wlan.interfaces = {Connected(
        "HomeNet", {Usable(L"Cafe Corner", L"latte"), Usable(L"HomeNet", L"correct horse")})};
    std::mutex waits_lock;
    std::vector<unsigned> waits;
    Platform platform;
    platform.wlan = &wlan.api();
    platform.sleep = [&](unsigned ms) {
        const std::lock_guard lock(waits_lock);
        waits.push_back(ms);
    };
    auto device = Device(platform);
    ASSERT_EQ(Search(*device), (Strings{"0", "VT-M200 Series 8D1W09012  2 USB001"}));
    tagDeviceInfo desk{};
    ASSERT_EQ(device->GetDeviceList(&desk, 1), 0);

    wchar_t ssid[33] = {};
    wchar_t key[65] = {};
    ASSERT_EQ(device->SearchAccessPoints(&desk.connection, ssid, 33, key, 65), 0);
    EXPECT_EQ(std::wstring(ssid) + L"/" + key, L"HomeNet/correct horse") << "the PC's network";
    AccessPointEntry seen[3] = {};
    int count = 3;
    ASSERT_EQ(device->GetAccessPointList(seen, &count), 0);
    EXPECT_EQ(std::wstring(seen[0].ssid) + L"," + seen[1].ssid + L"," + seen[2].ssid,
              L"HomeNet,Cafe Corner,")
        << "the open network is not offered";

    EXPECT_EQ(device->ApplyAccessPoint(&desk.connection, ssid, key), 0);
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 60000u), 1);
    EXPECT_EQ(world_.Get("desk", "wifi-joined"), "yes");
    EXPECT_EQ(Search(*device), (Strings{"0", "VT-M200 Series 8D1W09012 192.168.1.45 0"}))
        << "on the network now, and offered once";
}

} // namespace
} // namespace vtqeldevc::test
