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
#include <string>
#include <thread>
#include <vector>

namespace vtqeldevc::test {
namespace {

using Strings = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// A printer on the network that the program offers, answering its capability after delay ms.
std::string NetworkPrinter(const std::string& name, const std::string& ipv4, int delay = 0) {
    std::string text = "[printer " + name + "]\nmodel = VT-" + name + "\nserial = SN-" + name +
                       "\nipv4 = " + ipv4 + "\nqel-service = serviceA\nagreement = unknown\n";
    if (delay > 0) {
        text +=
            "reply-fault = device GetCapability delay " + std::to_string(delay) + " times always\n";
    }
    return text;
}

// What a record says of the printer: "<model> <serial> <address> <kind> <port>".
std::string Describe(const tagDeviceInfo& r) {
    const auto narrow = [](const wchar_t* text) {
        std::string out;
        for (; *text != L'\0'; ++text) {
            out += static_cast<char>(*text);
        }
        return out;
    };
    std::string line = narrow(r.model) + " " + narrow(r.serialNumber) + " " + narrow(r.address) +
                       " " + std::to_string(r.connection.kind);
    if (r.connection.portName[0] != L'\0') {
        line += " " + narrow(r.connection.portName);
    }
    return line;
}

class SearchWorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(world_.Loaded());
        world_.Reset();
    }
    void TearDown() override { world_.Reset(); }

    void Load(const std::string& text) { ASSERT_EQ(world_.Load(text), ""); }
    void Configure(const std::string& printer, const std::string& line) {
        ASSERT_EQ(world_.Configure(printer, line), "") << line;
    }

    // A device object of this process that finds the stand-ins beside the test.
    std::unique_ptr<VTESDevLib> Device(int processors = -1) {
        Platform platform;
        if (processors >= 0) {
            platform.processors = [processors] { return static_cast<unsigned>(processors); };
        }
        auto device = std::make_unique<VTESDevLib>(::GetModuleHandleW(nullptr), platform);
        EXPECT_EQ(device->Initialize(), 0);
        return device;
    }

    struct Searched {
        int result = 0;
        int count = -1;
        Strings records;
    };
    static Searched Search(VTESDevLib& device, int usbOnly = 0) {
        Searched s;
        s.result = device.SearchDevices(&s.count, usbOnly);
        if (s.result == 0) {
            std::vector<tagDeviceInfo> records(static_cast<std::size_t>(s.count) + 1);
            EXPECT_EQ(device.GetDeviceList(records.data(), s.count), 0);
            for (int i = 0; i < s.count; ++i) {
                s.records.push_back(Describe(records[static_cast<std::size_t>(i)]));
            }
        }
        return s;
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
    for (int i = 0; i < 9; ++i) {
        printers +=
            NetworkPrinter("p" + std::to_string(i), "192.168.1." + std::to_string(10 + i), 60);
    }
    Strings offered;
    for (int i = 0; i < 9; ++i) {
        offered.push_back("VT-p" + std::to_string(i) + " SN-p" + std::to_string(i) + " 192.168.1." +
                          std::to_string(10 + i) + " 0");
    }
    struct Case {
        int processors;
        int batch;
    } const cases[] = {{0, 1}, {1, 1}, {2, 1}, {3, 2}, {5, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.processors);
        Load(printers);
        auto device = Device(c.processors);
        world_.ClearJournal();
        const Searched s = Search(*device);
        EXPECT_EQ(s.result, 0);
        EXPECT_EQ(s.records, offered);
        const int peak = std::stoi(world_.Get("", "peak-answers"));
        EXPECT_LE(peak, c.batch) << "no more printers asked at once than a batch";
        EXPECT_GE(peak, c.batch > 1 ? 2 : 1);
        device->Terminate();
    }
    EXPECT_EQ(BatchSize(-5), 1);
    EXPECT_EQ(BatchSize(8), 7);
}

TEST_F(SearchWorldTest, WhatTheNetworkSearchFindsAndOffers) {
    const std::string mixed = NetworkPrinter("qel", "192.168.1.31") +
                              "[printer agreed]\nmodel = VT-agreed\nserial = SN-agreed\n"
                              "ipv4 = 192.168.1.32\nservices = device\nagreement = agree\n"
                              "[printer plain]\nipv4 = 192.168.1.33\nservices = device\n"
                              "agreement = none\n"
                              "[printer silent]\nipv4 = 192.168.1.34\nfault = pu2Write fail times "
                              "always\n"
                              "[printer hidden]\nipv4 = 192.168.1.35\nsearchable = no\n" +
                              NetworkPrinter("last", "192.168.1.36");
    const std::string v6 =
        "[printer link]\nmodel = VT-link\nserial = SN-link\nipv6 = FE80::1:2%7\nqel-service = "
        "serviceA\n"
        "[printer global]\nmodel = VT-global\nserial = SN-global\nipv6 = 2001:db8::5\n"
        "qel-service = serviceD\n";
    struct Case {
        const char* name;
        std::string world;
        Strings faults; // of the [world]
        int result;
        Strings records;
        Strings searches;
        bool instance = true;
    } const cases[] = {
        {"the qel service or an agreement, in the order found",
         mixed,
         {},
         0,
         {"VT-qel SN-qel 192.168.1.31 0", "VT-agreed SN-agreed 192.168.1.32 0",
          "VT-last SN-last 192.168.1.36 0"},
         {"VTWNSCH_Search -> 5"}},
        {"IPv4 unusable: IPv6, link-local addresses with their scope",
         v6,
         {"VTWNSCH_Search -2"},
         0,
         {"VT-link SN-link fe80::1:2%7 0", "VT-global SN-global 2001:db8::5 0"},
         {"VTWNSCH_Search -> -2", "VTWNSCH_SearchByIpv6 -> 2"}},
        {"nothing found: not an error", "", {}, 0, {}, {"VTWNSCH_Search -> 0"}},
        {"both searches fail: no network printers",
         mixed,
         {"VTWNSCH_Search -2", "VTWNSCH_SearchByIpv6 -2"},
         0,
         {},
         {"VTWNSCH_Search -> -2", "VTWNSCH_SearchByIpv6 -> -2"}},
        {"the listening time refused: no search", mixed, {"VTWNSCH_OptSetting -2"}, 0, {}, {}},
        {"no instance", mixed, {"VTWNSCH_CreateInstance fail"}, 2, {}, {}, false},
        {"the enumeration fails",
         mixed,
         {"VTWNSCH_EnumSearchInfo -2"},
         2,
         {},
         {"VTWNSCH_Search -> 5"}},
        {"fewer entries than found: only those",
         mixed,
         {"VTWNSCH_EnumSearchInfo short times always"},
         0,
         {"VT-qel SN-qel 192.168.1.31 0", "VT-agreed SN-agreed 192.168.1.32 0"},
         {"VTWNSCH_Search -> 5"}},
        {"a size of no whole number of entries",
         mixed,
         {"VTWNSCH_EnumSearchInfo ragged times always"},
         0,
         {"VT-qel SN-qel 192.168.1.31 0", "VT-agreed SN-agreed 192.168.1.32 0",
          "VT-last SN-last 192.168.1.36 0"},
         {"VTWNSCH_Search -> 5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.world);
        for (const std::string& fault : c.faults) {
            Configure("", "fault = " + fault);
        }
        auto device = Device();
        world_.ClearJournal();
        const Searched s = Search(*device);
        EXPECT_EQ(s.result, c.result);
        EXPECT_EQ(s.records, c.records);
        EXPECT_EQ(Calls("VTWNSCH_Search"), c.searches);
        EXPECT_EQ(Calls("VTWNSCH_CreateInstance").size(), 1u);
        EXPECT_EQ(Calls("VTWNSCH_DestroyInstance").size(), c.instance ? 1u : 0u);
        device->Terminate();
        EXPECT_EQ(world_.Get("", "loads vtwidsd"), world_.Get("", "unloads vtwidsd"));
    }
}

TEST_F(SearchWorldTest, AddressesAreReadWithinTheirField) {
    Load(NetworkPrinter("qel", "192.168.1.31"));
    Configure("", "fault = VTWNSCH_EnumSearchInfo unterminated times always");
    auto device = Device();
    world_.ClearJournal();
    const Searched s = Search(*device);
    EXPECT_EQ(s.result, 0);
    EXPECT_TRUE(s.records.empty());
    // The whole field and nothing of the bytes behind it.
    const Strings set = Calls("pu2SetIP");
    ASSERT_EQ(set.size(), 1u);
    EXPECT_NE(set[0].find(" 192.168.1.31" + std::string(52, '0') + " -> "), std::string::npos)
        << set[0];
}

TEST_F(SearchWorldTest, OnlyTheLowByteAsksForUsbOnly) {
    Load(NetworkPrinter("qel", "192.168.1.31"));
    auto device = Device();
    for (const int usb_only : {0, 0x100, 1, 0x1FF}) {
        world_.ClearJournal();
        const Searched s = Search(*device, usb_only);
        const bool network = (usb_only & 0xFF) == 0;
        EXPECT_EQ(s.records.size(), network ? 1u : 0u) << usb_only;
        EXPECT_EQ(Calls("VTWNSCH_Search").size(), network ? 1u : 0u) << usb_only;
    }
    int count = 0;
    EXPECT_EQ(device->SearchDevices(nullptr, 0), 3);
    EXPECT_EQ(device->GetDeviceList(nullptr, 1), 3);
    tagDeviceInfo one{};
    EXPECT_EQ(device->SearchDevices(&count, 0), 0);
    EXPECT_EQ(device->GetDeviceList(&one, 0), 0);
    EXPECT_EQ(one.model[0], L'\0') << "nothing copied for 0";
    EXPECT_EQ(device->GetDeviceList(&one, -4), 0);
    EXPECT_EQ(device->GetDeviceList(&one, 1), 0);
    EXPECT_EQ(std::wstring(one.model), L"VT-qel");
}

TEST_F(SearchWorldTest, ACancelFromAnotherThreadEndsALongSearchAtOnce) {
    Load(NetworkPrinter("qel", "192.168.1.31"));
    Configure("", "search-delay-ms = 30000");
    auto device = Device();
    EXPECT_EQ(device->CancelSearch(), 0) << "no search running: nothing to cancel";
    world_.ClearJournal();
    std::atomic<Clock::time_point> ended{};
    auto search = std::async(std::launch::async, [&] {
        const Searched s = Search(*device);
        ended = Clock::now();
        return s;
    });
    // The search has started once its listening time is set.
    for (int i = 0; i < 500 && Calls("VTWNSCH_OptSetting").empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const Clock::time_point cancelled = Clock::now();
    EXPECT_EQ(device->CancelSearch(), 0);
    ASSERT_EQ(search.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    const Searched s = search.get();
    EXPECT_LT(
        std::chrono::duration_cast<std::chrono::milliseconds>(ended.load() - cancelled).count(),
        200);
    EXPECT_EQ(s.result, 0);
    EXPECT_TRUE(s.records.empty());
    EXPECT_EQ(Calls("VTWNSCH_Search"),
              (Strings{"VTWNSCH_Search -> cancelled", "VTWNSCH_SearchByIpv6 -> cancelled"}))
        << "the cancel holds for the IPv6 search too";
    device->Terminate();
}

TEST_F(SearchWorldTest, CancelsAroundTheEndOfSearchesNeverReachAGoneInstance) {
    Load(NetworkPrinter("qel", "192.168.1.31"));
    auto device = Device();
    std::atomic<bool> done{false};
    std::atomic<int> cancels{0};
    std::thread canceller([&] {
        while (!done) {
            EXPECT_EQ(device->CancelSearch(), 0);
            ++cancels;
        }
    });
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(Search(*device).result, 0);
    }
    done = true;
    canceller.join();
    EXPECT_GT(cancels.load(), 100);
    EXPECT_EQ(world_.Get("", "loads vtwidsd"), world_.Get("", "unloads vtwidsd"));
    device->Terminate();
}

TEST_F(SearchWorldTest, UsbPrintersAreMatchedToTheirPortsAndListedOnce) {
    Load(R"(
[printer desk]
model = VT-desk
serial = SN-desk
usb-port = USB001
usb = vtwidwus
qel-service = serviceA

[printer blank]
model = VT-blank
serial = 000000000
usb-port = USB002
usb = vtwidwus
qel-service = serviceA

[printer both]
model = VT-both
serial = SN-both
usb-port = USB003
usb = vtwidwus vtwiduns

[printer legacy]
model = VT-legacy
serial = SN-legacy
usb-port = USB004
usb = vtwiduns

[printer broken]
model = VT-broken
serial = SN-broken
usb-port = USB005
usb = vtwiduns
fault = puOpenPort fail times always

[printer roamer]
model = VT-roamer
serial = SN-roamer
usb-port = USB006
usb = vtwidwus
ipv4 = 192.168.1.50
qel-service = serviceA
)");
    auto device = Device();
    const Searched s = Search(*device);
    EXPECT_EQ(s.result, 0);
    EXPECT_EQ(s.records, (Strings{"VT-roamer SN-roamer 192.168.1.50 0", "VT-desk SN-desk  2 USB001",
                                  "VT-blank 000000000  2 USB002", "VT-both SN-both  2 USB003",
                                  "VT-legacy SN-legacy  1 USB004"}));
    std::vector<tagDeviceInfo> records(static_cast<std::size_t>(s.count));
    ASSERT_EQ(device->GetDeviceList(records.data(), s.count), 0);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_STREQ(records[1].connection.serialNumber, "SN-desk");
    EXPECT_STREQ(records[1].connection.modelName, "VT-desk");
    EXPECT_STREQ(records[2].connection.serialNumber, "") << "as the wrapper reported it";
    EXPECT_EQ(world_.Get("legacy", "device-key"), records[4].connection.deviceKey);
    const Searched usb_only = Search(*device, 1);
    EXPECT_EQ(usb_only.records.size(), 5u) << "the roamer by USB when the network is not asked";
    device->Terminate();
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
    FakeInterface pc;
    pc.state = wlan_interface_state_connected;
    pc.connected_ssid = "HomeNet";
    pc.profiles = {
        {L"Cafe", ProfileXml(L"Cafe", L"Cafe Corner", L"passPhrase", L"false", L"latte")},
        {L"Home", ProfileXml(L"Home", L"HomeNet", L"passPhrase", L"false", L"correct horse")}};
    wlan.interfaces = {pc};
    std::mutex waits_lock;
    std::vector<unsigned> waits;
    Platform platform;
    platform.wlan = &wlan.api();
    platform.sleep = [&](unsigned ms) {
        const std::lock_guard lock(waits_lock);
        waits.push_back(ms);
    };
    VTESDevLib device(::GetModuleHandleW(nullptr), platform);
    ASSERT_EQ(device.Initialize(), 0);

    ASSERT_EQ(Search(device).records, Strings{"VT-M200 Series 8D1W09012  2 USB001"});
    tagDeviceInfo desk{};
    ASSERT_EQ(device.GetDeviceList(&desk, 1), 0);

    wchar_t ssid[33] = {};
    wchar_t key[65] = {};
    ASSERT_EQ(device.SearchAccessPoints(&desk.connection, ssid, 33, key, 65), 0);
    EXPECT_EQ(std::wstring(ssid), L"HomeNet") << "the PC's own network";
    EXPECT_EQ(std::wstring(key), L"correct horse");
    AccessPointEntry seen[3] = {};
    int count = 3;
    ASSERT_EQ(device.GetAccessPointList(seen, &count), 0);
    EXPECT_EQ(std::wstring(seen[0].ssid), L"HomeNet");
    EXPECT_EQ(std::wstring(seen[1].ssid), L"Cafe Corner");
    EXPECT_EQ(seen[2].ssid[0], L'\0') << "the open network is not offered";

    EXPECT_EQ(device.ApplyAccessPoint(&desk.connection, ssid, key), 0);
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 60000u), 1);
    EXPECT_EQ(world_.Get("desk", "wifi-joined"), "yes");

    EXPECT_EQ(Search(device).records, Strings{"VT-M200 Series 8D1W09012 192.168.1.45 0"})
        << "on the network now, and offered once";
    device.Terminate();
}

} // namespace
} // namespace vtqeldevc::test
