// The identity read of GetDeviceInfo through vtqeldevc.dll and the stand-in port libraries,
// checked at the record's raw offsets: every port type, what each kind of printer reports,
// refusals and failures, and several reads at once on one object.
#include "world_device.h"

#include <gtest/gtest.h>

#include <future>
#include <optional>
#include <string>
#include <vector>

namespace vtqeldevc::test {
namespace {

// What the read writes into the caller's record.
struct Identity {
    std::wstring model;
    std::wstring serial;
    std::wstring region;
    std::wstring hardware;
    unsigned char agreement = 0;
    std::optional<unsigned char> qel; // the flag and kind: not written for a printer without qel
    unsigned char kind = 0;
    bool texts_only = false; // the read ended after the texts were written
};

// The caller's record filled with fill, then the identity written at its offsets.
RecordBytes Expected(const std::optional<Identity>& identity, unsigned char fill) {
    RecordBytes bytes;
    bytes.fill(fill);
    if (identity) {
        PutWide(bytes, 2, 128, identity->model);
        PutWide(bytes, 258, 128, identity->serial);
        PutWide(bytes, 1026, 5, identity->region);
        PutWide(bytes, 1036, 20, identity->hardware);
        if (identity->texts_only) {
            return bytes;
        }
        bytes[1076] = identity->agreement;
        if (identity->qel) {
            bytes[0] = *identity->qel;
            bytes[1612] = identity->kind;
        }
    }
    return bytes;
}

const Identity kOffice{L"VT-X100 Series", L"5A3X01234", L"1", L"00:1B:A9:3C:00:01", 1, 1, 1};
const Identity kStudio{L"VT-S300 Series", L"6B7Y05678", L"3", L"00:1B:A9:4D:00:02", 2, 1, 2};
const Identity kLab{L"VT-L50 Series", L"7C9Z00042", L"4", L"", 3, std::nullopt, 0};
const Identity kBoth{L"VT-B10 Series", L"9E2V00001", L"1234", L"00:1B:A9:70:00:05", 2, 1, 1};
const Identity kDesk{L"VT-M200 Series", L"8D1W09012", L"1", L"00:1B:A9:6F:00:04", 1, 1, 1};

std::vector<std::string> Questions(const std::string& port, bool qel) {
    std::vector<std::string> lines = {port + " device GetCapability OK",
                                      port + " device GetStatus OK",
                                      port + " device GetConfiguration OK"};
    if (qel) {
        lines.push_back(port + " qel GetCapability OK");
    }
    return lines;
}

TEST_F(WorldDevice, IdentityOfEachKindOfPrinterByEveryPortType) {
    struct Case {
        const char* name;
        const wchar_t* address;
        int portType;
        const char* printer;
        Identity identity;
        const char* port; // the command path the printer saw
    };
    const Case cases[] = {
        {"office by IPv4", L"192.168.1.31", 1, "office", kOffice, "port1"},
        {"office by fe80 with its scope", L"fe80::21b:a9ff:fe3c:1001%2", 1, "office", kOffice,
         "port1"},
        {"office by queue", L"Office Queue", 0, "office", kOffice, "port1"},
        {"desk by USB port", L"USB001", 3, "desk", kDesk, "usb"},
        {"desk by queue on USB", L"Desk Queue", 2, "desk", kDesk, "usb"},
        {"serviceD, agreement given, wireless only", L"192.168.1.32", 1, "studio", kStudio,
         "port1"},
        {"no qel, wired only, disagreed", L"192.168.1.33", 1, "lab", kLab, "port1"},
        {"both services, long region, agreement in capitals", L"192.168.1.34", 1, "both", kBoth,
         "port1"},
    };
    DeviceObject device(dll);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(world.Load(kPrinters), "");
        for (const unsigned char fill : {0x00, 0xA5}) {
            RecordBytes bytes;
            bytes.fill(fill);
            tagDeviceInfo record = RecordOf(bytes);
            ASSERT_EQ(device->GetDeviceInfo(c.address, c.portType, &record), 0);
            EXPECT_EQ(Difference(BytesOf(record), Expected(c.identity, fill)), "");
        }
        std::vector<std::string> twice = Questions(c.port, c.identity.qel.has_value());
        const std::vector<std::string> once = twice;
        twice.insert(twice.end(), once.begin(), once.end());
        EXPECT_EQ(Exchanges(c.printer), twice);
    }
}

TEST_F(WorldDevice, RefusalsAndFailuresOfTheIdentityRead) {
    struct Case {
        const char* name;
        std::vector<std::string> lines; // office's; "world: " for the world's
        const wchar_t* address;
        int result;
        std::optional<Identity> written;
    };
    Identity unreported = kOffice;
    unreported.agreement = 0;
    Identity texts_only = kOffice;
    texts_only.texts_only = true;
    Identity no_service = kOffice;
    no_service.qel = 0;
    no_service.kind = 0;
    const Case cases[] = {
        {"capability refused", {"reply-fault = device GetCapability refuse Initializing"},
         L"192.168.1.31", 11, std::nullopt},
        {"capability with an unknown detail", {"reply-fault = device GetCapability refuse Busy"},
         L"192.168.1.31", 7, std::nullopt},
        {"status refused", {"reply-fault = device GetStatus refuse NotConnectServer"},
         L"192.168.1.31", 10, std::nullopt},
        {"agreement refused: no failure", {"reply-fault = device GetConfiguration refuse"},
         L"192.168.1.31", 0, unreported},
        {"qel capability refused", {"reply-fault = qel GetCapability refuse DeviceUseOtherJob"},
         L"192.168.1.31", 0, no_service},
        {"no channel", {"fault = pu2SetUrl fail"}, L"192.168.1.31", 2, std::nullopt},
        {"no channel at all", {"world: fault = pu2Open fail"}, L"192.168.1.31", 2, std::nullopt},
        {"status lost on the way", {"fault = pu2Write -2 skip 1"}, L"192.168.1.31", 5,
         std::nullopt},
        {"agreement lost on the way", {"fault = pu2Read -3 skip 2"}, L"192.168.1.31", 5,
         texts_only},
        {"no printer at the address", {}, L"192.168.1.99", 5, std::nullopt},
        {"no printer on the USB port", {}, L"USB009", 2, std::nullopt},
    };
    DeviceObject device(dll);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reload("office", c.lines);
        RecordBytes bytes;
        bytes.fill(0x5A);
        tagDeviceInfo record = RecordOf(bytes);
        const int portType = c.address[0] == L'U' ? 3 : 1;
        EXPECT_EQ(device->GetDeviceInfo(c.address, portType, &record), c.result);
        EXPECT_EQ(Difference(BytesOf(record), Expected(c.written, 0x5A)), "");
    }
    tagDeviceInfo record{};
    EXPECT_EQ(device->GetDeviceInfo(L"192.168.1.31", 1, nullptr), 3);
    EXPECT_EQ(device->GetDeviceInfo(nullptr, 1, &record), 3);
    EXPECT_EQ(Difference(BytesOf(record), Expected(std::nullopt, 0)), "");
    EXPECT_TRUE(Exchanges("office").empty());
}

TEST_F(WorldDevice, ReadsRunSideBySideOnOneObject) {
    struct Target {
        const wchar_t* address;
        int portType;
        Identity identity;
    };
    const Target targets[] = {
        {L"192.168.1.31", 1, kOffice}, {L"192.168.1.32", 1, kStudio},
        {L"192.168.1.33", 1, kLab},    {L"192.168.1.34", 1, kBoth},
        {L"USB001", 3, kDesk},         {L"fe80::21b:a9ff:fe3c:1001%2", 1, kOffice},
    };
    // Every printer answers in small pieces, so the reads interleave.
    for (const char* printer : {"office", "studio", "lab", "both", "desk"}) {
        Configure(printer, "piece-size = 61");
    }
    constexpr int kRounds = 4;
    DeviceObject device(dll);
    std::vector<std::future<std::string>> reads;
    for (const auto& t : targets) {
        reads.push_back(std::async(std::launch::async, [&device, &t] {
            for (int round = 0; round < kRounds; ++round) {
                tagDeviceInfo record{};
                const int result = device->GetDeviceInfo(t.address, t.portType, &record);
                if (result != 0) {
                    return "result " + std::to_string(result);
                }
                const std::string difference =
                    Difference(BytesOf(record), Expected(t.identity, 0));
                if (!difference.empty()) {
                    return difference;
                }
            }
            return std::string();
        }));
    }
    for (std::size_t i = 0; i < reads.size(); ++i) {
        EXPECT_EQ(reads[i].get(), "") << i;
    }
    EXPECT_EQ(Exchanges("office").size(), 2u * kRounds * 4);
    EXPECT_EQ(world.Get("", "open-at-unload vtmpu2"), "0");
}

} // namespace
} // namespace vtqeldevc::test
