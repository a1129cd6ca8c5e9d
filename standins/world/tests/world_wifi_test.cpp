// One printer through every face: the USB-only printer shows one identity to the USB wrapper, the
// older port library and the USB device library; Wi-Fi settings written through the USB wrapper
// (vtwidwus.dll over vtwidus.dll) or through vtwiduns.dll put it on the network, where the newer
// port library reaches it and the network search lists it.
#include "face_library.h"
#include "iwrapsnmpoverusb/iwrapsnmpoverusb.h"

#include <gtest/gtest.h>

#include <vector>

namespace qelworld::test {
namespace {

constexpr char kWorld[] = R"(
[printer office]
model = VT-X100 Series
ipv4 = 192.168.1.31

[printer desk]
model = VT-M200 Series
serial = 8D1W09012
usb-port = USB001
usb = vtwidwus vtwiduns
ap = HomeNet signal -42 channel 6 auth 7 encryption 4 key "correct horse"
wifi-address = 192.168.1.45
internet = with-network
)";

// The USB wrapper, loaded as the printer access library loads it.
struct Wrapper {
    Wrapper() {
        lib.Bind(create, "VTWIDWUS_CreateInstance");
        lib.Bind(destroy, "VTWIDWUS_DestroyInstance");
        lib.Bind(search, "VTWIDWUS_Search");
        lib.Bind(getInfo, "VTWIDWUS_GetInfo");
        lib.Bind(setInfo, "VTWIDWUS_SetInfo");
        instance = create();
    }
    ~Wrapper() { destroy(instance); }
    // The printers it finds.
    std::vector<tagUsbDevice> Search() {
        int count = 0;
        tagUsbDevice* list = nullptr;
        EXPECT_EQ(search(instance, &count, &list), 0);
        return list == nullptr ? std::vector<tagUsbDevice>{}
                               : std::vector<tagUsbDevice>(list, list + count);
    }

    FaceLibrary lib{L"vtwidwus.dll"};
    decltype(&VTWIDWUS_CreateInstance) create = nullptr;
    decltype(&VTWIDWUS_DestroyInstance) destroy = nullptr;
    decltype(&VTWIDWUS_Search) search = nullptr;
    decltype(&VTWIDWUS_GetInfo) getInfo = nullptr;
    decltype(&VTWIDWUS_SetInfo) setInfo = nullptr;
    VTWIDWUS_INSTANCE instance = nullptr;
};

// The serial number that a device GetCapability through a port library reads ("" when the printer
// does not answer).
std::string SerialOverNetwork(const wchar_t* address) {
    Vtmpu2 pu2;
    const PU2_HANDLE h = pu2.Channel(address);
    std::string reply(65536, '\0');
    int size = static_cast<int>(reply.size());
    int more = 0;
    if (pu2.Send(h, Request("device", "GetCapability")) != 0 ||
        pu2.Read(h, reply.data(), &size, &more) != 0) {
        size = 0;
    }
    pu2.Close(h);
    return Element(reply.substr(0, static_cast<std::size_t>(size)), "ivec:product_serialnumber");
}

std::string OverUsbPort(const char* port, const char* service, const char* operation,
                        const char* element) {
    Vtmpu pu;
    const PU_HANDLE h = pu.OpenPort(port, 0);
    pu.Send(h, Request(service, operation));
    const std::string reply = pu.Receive(h);
    pu.Close(h);
    return Element(reply, element);
}

std::string SerialOverUsbPort(const char* port) {
    return OverUsbPort(port, "device", "GetCapability", "ivec:product_serialnumber");
}

// What the printer's connectivity test says: whether it reaches the cloud.
std::string ConnectivityOverUsbPort(const char* port) {
    return OverUsbPort(port, "qel", "GetStatus", "vvt:connectivity_test");
}

// What vtwiduns.dll shows of the printer: its device id, and after writing a settings block the
// result of the write.
struct DeviceLibrary {
    DeviceLibrary() {
        lib.Bind(create, "VTWIDUNS_CreateInstance");
        lib.Bind(destroy, "VTWIDUNS_DestroyInstance");
        lib.Bind(deviceId, "VTWIDUNS_GetDeviceId");
        lib.Bind(commStart, "VTWIDUNS_CommStart");
        lib.Bind(commEnd, "VTWIDUNS_CommEnd");
        lib.Bind(setInfo, "VTWIDUNS_SetInfo");
        instance = create();
    }
    ~DeviceLibrary() { destroy(instance); }

    FaceLibrary lib{L"vtwiduns.dll"};
    decltype(&VTWIDUNS_CreateInstance) create = nullptr;
    decltype(&VTWIDUNS_DestroyInstance) destroy = nullptr;
    decltype(&VTWIDUNS_GetDeviceId) deviceId = nullptr;
    decltype(&VTWIDUNS_CommStart) commStart = nullptr;
    decltype(&VTWIDUNS_CommEnd) commEnd = nullptr;
    decltype(&VTWIDUNS_SetInfo) setInfo = nullptr;
    VTWIDUNS_INSTANCE instance = nullptr;
};

class WorldWifiTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(world_.Load(kWorld), ""); }
    Client world_{qelwin::ThisModuleFolder()};
};

TEST_F(WorldWifiTest, EveryFaceShowsOneIdentity) {
    Wrapper wus;
    const auto devices = wus.Search();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_STREQ(devices[0].modelName_, "VT-M200 Series");
    EXPECT_STREQ(devices[0].serialNumber_, "8D1W09012");
    EXPECT_EQ(SerialOverUsbPort("USB001"), "8D1W09012");
    DeviceLibrary uns;
    char id[256] = {};
    EXPECT_GT(uns.deviceId(uns.instance, world_.Get("desk", "device-key").c_str(), id, sizeof id),
              0);
    EXPECT_NE(std::string(id).find("SN:8D1W09012;"), std::string::npos);
    // A change through one face shows through the others.
    ASSERT_EQ(world_.Configure("desk", "serial = 8D1W09999"), "");
    EXPECT_STREQ(wus.Search().at(0).serialNumber_, "8D1W09999");
    EXPECT_EQ(SerialOverUsbPort("USB001"), "8D1W09999");
}

TEST_F(WorldWifiTest, WifiSettingsWrittenOverUsbPutThePrinterOnTheNetwork) {
    struct Case {
        const char* via;
        const char* key;
        bool joins;
    };
    const Case cases[] = {
        {"vtwidwus", "correct horse", true},
        {"vtwidwus", "wrong horse", false},
        {"vtwiduns", "correct horse", true},
        {"vtwiduns", "wrong horse", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.via << " " << c.key);
        ASSERT_EQ(world_.Load(kWorld), "");
        EXPECT_EQ(SerialOverNetwork(L"192.168.1.45"), "") << "not on the network yet";
        EXPECT_EQ(ConnectivityOverUsbPort("USB001"), "not_connect_internet");
        EXPECT_EQ(world_.Get("", "search"), "192.168.1.31");
        Wrapper wus;
        const auto devices = wus.Search();
        ASSERT_EQ(devices.size(), 1u);
        if (std::string(c.via) == "vtwidwus") {
            // As the printer access library writes an access point through the wrapper.
            tagUsbSnmpInfraInfo infra{};
            ASSERT_EQ(wus.getInfo(wus.instance, &devices[0], VTWIDWUS_INFO_TYPE_INFRA, &infra), 0);
            infra.dot11Mode_ = 4;
            infra.ipv4AddressMethod_ = 1;
            infra.ipv6Enable_ = 1;
            std::strcpy(infra.ssid_, "HomeNet");
            infra.authentication_ = 7;
            infra.encryption_ = 4;
            std::strcpy(infra.networkKey_, c.key);
            infra.channel_ = 6;
            EXPECT_EQ(wus.setInfo(wus.instance, &devices[0], VTWIDWUS_INFO_TYPE_INFRA, &infra), 0);
        } else {
            DeviceLibrary uns;
            const std::string key = world_.Get("desk", "device-key");
            ASSERT_EQ(uns.commStart(uns.instance, key.c_str()), 0);
            const std::string block = SettingsBlock("HomeNet", c.key, true, "AP1");
            EXPECT_EQ(uns.setInfo(uns.instance, key.c_str(), VTWIDUNS_SET_WIRELESS, block.data(),
                                  VTWIDUNS_SETTINGS_BYTES),
                      0);
            EXPECT_EQ(uns.commEnd(uns.instance, key.c_str()), 0);
        }
        EXPECT_EQ(world_.Get("desk", "wifi-joined"), c.joins ? "yes" : "no");
        EXPECT_EQ(world_.Get("desk", "wifi-via"), c.via);
        EXPECT_EQ(SerialOverNetwork(L"192.168.1.45"), c.joins ? "8D1W09012" : "");
        // On a network it reaches the cloud.
        EXPECT_EQ(ConnectivityOverUsbPort("USB001"), c.joins ? "none" : "not_connect_internet");
        EXPECT_EQ(world_.Get("", "search"),
                  c.joins ? "192.168.1.31\n192.168.1.45" : "192.168.1.31");
        // The wrapper reads back what the printer now holds, whichever face wrote it.
        tagUsbSnmpInfraInfo after{};
        ASSERT_EQ(wus.getInfo(wus.instance, &devices[0], VTWIDWUS_INFO_TYPE_INFRA, &after), 0);
        EXPECT_STREQ(after.ssid_, "HomeNet");
        EXPECT_STREQ(after.ipv4Address_, c.joins ? "192.168.1.45" : "0.0.0.0");
    }
}

} // namespace
} // namespace qelworld::test
