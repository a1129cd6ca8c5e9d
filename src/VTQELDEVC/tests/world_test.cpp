// The device layer against the simulated world through the real stand-in libraries: the port
// controls reach one printer by address, printer name, queue and USB port and read its
// identity; the world's faults drive their retry paths; and vtqeldevc.dll, copied beside chosen
// libraries and variants without one entry, initialises, fails and releases as it must.
#include "device_dll.h"

#include "port_control.h"
#include "replies.h"
#include "requests.h"
#include "vtwiduns_lib.h"
#include "vtwidwus_lib.h"
#include "vtmpu2_ctrl.h"

#include <qelworld/qelworld_client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace vtqeldevc::test {
namespace {

using Strings = std::vector<std::string>;
using Waits = std::vector<unsigned>;

constexpr char kWorld[] = R"(
[printer office]
model = VT-X100 Series
serial = 5A3X01234
ipv4 = 192.168.1.31
queue = Office Queue
usb = vtwiduns
usb-port = USB003

[printer desk]
model = VT-M200 Series
usb = vtwidwus
usb-port = USB001
)";

constexpr int kCapacity = 65536;

std::string Capability() {
    std::array<char, 4096> buffer{};
    std::size_t length = 0;
    EXPECT_EQ(BuildDeviceGetCapability(buffer, &length), kBuildOk);
    return std::string(buffer.data(), length);
}

int CountPrefixed(const Strings& lines, const std::string& prefix) {
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(world_.Loaded());
        ASSERT_EQ(world_.Load(kWorld), "");
    }

    // A port control over the stand-in beside the tests, its waits recorded.
    std::unique_ptr<CVTMPUCom> Control(int port_type) {
        return MakePortControl(port_type,
                               Platform{nullptr, [this](unsigned ms) { waits_.push_back(ms); }});
    }
    // Opens target and exchanges a device GetCapability; the reply text in reply.
    int Capabilities(CVTMPUCom& port, int port_type, const wchar_t* target, std::string& reply) {
        EXPECT_EQ(port.LoadPortLib(folder_.c_str()), 0);
        port.SetTarget(target, port_type, kDevicePortIndex);
        if ((port_type == 3 ? port.OpenPort() : port.Open()) != 0) {
            return -1;
        }
        const std::string request = Capability();
        std::vector<char> buffer(kCapacity);
        int length = 0;
        const int result = port.Transact(request.data(), static_cast<int>(request.size()),
                                         buffer.data(), kCapacity, &length);
        reply.assign(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
        return result;
    }
    int Loaded(const char* library) const {
        return std::stoi(world_.Get("", std::string("loads ") + library)) -
               std::stoi(world_.Get("", std::string("unloads ") + library));
    }

    const std::wstring folder_ = qelwin::ThisModuleFolder();
    qelworld::Client world_{folder_};
    Waits waits_;
};

TEST_F(WorldTest, OnePrinterAnswersItsIdentityOnEveryPath) {
    struct Case {
        const char* name;
        int port_type;
        const wchar_t* target;
        const char* path;
    } const cases[] = {
        {"network address", 1, L"192.168.1.31", "port1"},
        {"printer name on the newer library", 0, L"Office Queue", "port1"},
        {"queue on the older library", 2, L"Office Queue", "usb"},
        {"USB port", 3, L"USB003", "usb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string reply;
        {
            auto port = Control(c.port_type);
            ASSERT_EQ(Capabilities(*port, c.port_type, c.target, reply), 0);
        }
        std::string model, serial;
        EXPECT_EQ(ParseModel(reply, &model), kReplyOk);
        EXPECT_EQ(ParseProductSerialNumber(reply, &serial), kReplyOk);
        EXPECT_EQ(model, "VT-X100 Series");
        EXPECT_EQ(serial, "5A3X01234");
        EXPECT_EQ(world_.Lines("office", "exchanges").back(),
                  std::string(c.path) + " device GetCapability OK");
    }
    EXPECT_TRUE(waits_.empty());
    EXPECT_EQ(Loaded("vtmpu2"), 0);
    EXPECT_EQ(Loaded("vtmpu"), 0);
    EXPECT_EQ(world_.Get("", "open-at-unload vtmpu2"), "0");
    EXPECT_EQ(world_.Get("", "open-at-unload vtmpu"), "0") << "each channel closed before unload";
}

TEST_F(WorldTest, TheWorldsFaultsTakeThePortControlsRetryPaths) {
    struct Case {
        const char* name;
        int port_type;
        const char* line; // of the printer's section
        int result;
        Waits waits;
    } const cases[] = {
        {"busy once", 1, "fault = pu2Write -7", 0, {1000}},
        {"timing out four times", 1, "fault = pu2Write -8 times 4", 3, {1000, 1000, 1000}},
        {"a new channel asked for", 1, "fault = pu2Write -10", 0, {}},
        {"not yet, thirteen times",
         1,
         "fault = pu2Read 1 times 13",
         0,
         {10, 100, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000}},
        {"not yet, fourteen times",
         1,
         "fault = pu2Read 1 times 14",
         4,
         {10, 100, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000}},
        {"receiving fails four times", 1, "fault = pu2Read -12 times 4", 4, {1000, 1000, 1000}},
        {"a reply in pieces of 100 bytes", 1, "piece-size = 100", 0, {}},
        {"a reply larger than the buffer",
         1,
         "reply-fault = device GetCapability pad 70000",
         4,
         {}},
        {"a write that fails reopens the USB port", 3, "fault = puWrite fail", 0, {2000}},
        {"a late reply is passed over", 3, "fault = puWrite stale", 0, {100}},
        {"empty reads before the reply", 3, "no-data-reads = 2", 0, {100, 100}},
        {"a read that fails and closes", 3, "fault = puRead fail-close", 4, {}},
        {"a reply too large for the older library",
         3,
         "reply-fault = device GetCapability pad 70000",
         4,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(world_.Load(kWorld), "");
        ASSERT_EQ(world_.Configure("office", c.line), "");
        world_.ClearJournal();
        waits_.clear();
        std::string reply;
        {
            auto port = Control(c.port_type);
            EXPECT_EQ(Capabilities(*port, c.port_type,
                                   c.port_type == 3 ? L"USB003" : L"192.168.1.31", reply),
                      c.result);
        }
        EXPECT_EQ(waits_, c.waits);
        if (c.result == 0) {
            std::string model;
            EXPECT_EQ(ParseModel(reply, &model), kReplyOk);
            EXPECT_EQ(model, "VT-X100 Series");
        }
        if (c.port_type == 3) {
            // Every reopen is by port name again.
            EXPECT_EQ(CountPrefixed(world_.Journal(), "puOpen "), 0);
        }
    }
    EXPECT_EQ(Loaded("vtmpu2"), 0);
    EXPECT_EQ(Loaded("vtmpu"), 0);
}

TEST_F(WorldTest, ThePortListNamesTheWorkingUsbPorts) {
    struct Case {
        const char* fault; // of the world
        int result;
        std::vector<std::wstring> ports;
    } const cases[] = {
        {nullptr, 0, {L"USB001", L"USB003"}},
        {"fault = pulowWorkingPort no-trailing-backslash", 0, {L"USB001"}},
        {"fault = pulowWorkingPort none", 1, {}},
        {"fault = pulowWorkingPort fail", 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault != nullptr ? c.fault : "no fault");
        ASSERT_EQ(world_.Load(kWorld), "");
        if (c.fault != nullptr) {
            ASSERT_EQ(world_.Configure("", c.fault), "");
        }
        auto port = Control(3);
        ASSERT_EQ(port->LoadPortLib(folder_.c_str()), 0);
        std::vector<std::wstring> ports;
        EXPECT_EQ(port->GetPortList(ports), c.result);
        EXPECT_EQ(ports, c.ports);
        EXPECT_EQ(Loaded("vtmpu"), c.result == 0 ? 1 : 0) << "a failed list unloads the library";
    }
}

TEST_F(WorldTest, TheBuiltDllInitialisesAgainstTheDefaultWorld) {
    ASSERT_EQ(world_.LoadFile(qelwin::JoinPath(folder_, L"qelworld.world")), "");
    DeviceDll dll;
    DeviceObject device(dll);
    EXPECT_EQ(device->Initialize(), 0);
    EXPECT_EQ(device->Terminate(), 0);
    EXPECT_EQ(Loaded("vtwiduns"), 0);
    EXPECT_EQ(Loaded("vtmpu2"), 0);
}

// ---- vtqeldevc.dll beside chosen libraries -----------------------------------------------

struct Beside {
    std::string name;
    FolderBeside::Copies copies;
    std::function<void(const qelworld::Client&)> setup;
    int initialized;
};

FolderBeside::Copies Libraries(const std::wstring& replaced = {}, const std::wstring& by = {}) {
    FolderBeside::Copies copies;
    for (const std::wstring file :
         {L"vtqeldevc.dll", L"vtwiduns.dll", L"vtwidwus.dll", L"vtwidus.dll", L"vtmpu2.dll"}) {
        if (file != replaced) {
            copies.emplace_back(file, file);
        } else if (!by.empty()) {
            copies.emplace_back(by, file);
        }
    }
    return copies;
}

std::vector<Beside> BesideCases() {
    const auto none = [](const qelworld::Client&) {};
    std::vector<Beside> cases = {
        {"every library", Libraries(), none, 0},
        {"no device library", Libraries(L"vtwiduns.dll"), none, 2},
        {"no wrapper", Libraries(L"vtwidwus.dll"), none, 2},
        {"no port library", Libraries(L"vtmpu2.dll"), none, 2},
        {"no device library instance", Libraries(),
         [](const qelworld::Client& w) { w.Configure("", "fault = VTWIDUNS_CreateInstance fail"); },
         2},
    };
    const auto variant = [&](const std::wstring& library, const char* entry, int initialized) {
        const std::wstring name(library.begin(), library.end() - 4);
        const std::wstring folder =
            L"variants\\" + name + L"-no-" + std::wstring(entry, entry + std::strlen(entry));
        cases.push_back({"no " + std::string(entry), Libraries(library, folder + L"\\" + library),
                         none, initialized});
    };
    UnsApi{}.ForEach([&](const char* entry, auto&) { variant(L"vtwiduns.dll", entry, 2); });
    WusApi{}.ForEach([&](const char* entry, auto&) { variant(L"vtwidwus.dll", entry, 2); });
    Pu2Api{}.ForEach([&](const char* entry, auto&) { variant(L"vtmpu2.dll", entry, 2); });
    // Not bound: a wrapper without them serves.
    variant(L"vtwidwus.dll", "VTWIDWUS_Cancel", 0);
    variant(L"vtwidwus.dll", "VTWIDWUS_SetInfoAndWaitChangeDot11Mode", 0);
    return cases;
}

TEST_F(WorldTest, TheDllInitialisesFromItsFolderAndReleasesEverythingItLoaded) {
    const std::vector<Beside> cases = BesideCases();
    ASSERT_EQ(cases.size(), 5u + 12u + 10u + 13u + 2u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(world_.Load(kWorld), "");
        c.setup(world_);
        world_.ClearJournal();
        const FolderBeside folder(c.copies);
        {
            DeviceDll dll(folder.Path(L"vtqeldevc.dll"));
            DeviceObject device(dll);
            EXPECT_EQ(device->Initialize(), c.initialized);
            if (c.initialized == 0) {
                EXPECT_NE(::GetModuleHandleW(folder.Path(L"vtwidwus.dll").c_str()), nullptr);
                EXPECT_EQ(Loaded("vtmpu2"), 1);
            }
            EXPECT_EQ(device->Terminate(), 0);
            EXPECT_EQ(device->Terminate(), 0);
            for (const std::wstring file : {L"vtwiduns.dll", L"vtwidwus.dll", L"vtmpu2.dll"}) {
                EXPECT_EQ(::GetModuleHandleW(folder.Path(file).c_str()), nullptr)
                    << "still loaded after Terminate";
            }
        }
        for (const char* library : {"vtwiduns", "vtmpu2", "vtwidus"}) {
            EXPECT_EQ(Loaded(library), 0) << library;
        }
        const Strings journal = world_.Journal();
        EXPECT_EQ(CountPrefixed(journal, "VTWIDUNS_CreateInstance -> #"),
                  CountPrefixed(journal, "VTWIDUNS_DestroyInstance -> 0"));
    }
}

} // namespace
} // namespace vtqeldevc::test
