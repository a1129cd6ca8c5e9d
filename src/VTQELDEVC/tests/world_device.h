// vtqeldevc.dll loaded from the program folder beside the stand-in libraries, against printers
// of the simulated world: the world, a device object of the loaded library, and the raw bytes
// of the records the library fills.
#pragma once

#include "device_dll.h"

#include "qelworld/qelworld_client.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vtqeldevc::test {

// Printers reached by every port type: office by address (IPv4 and a scoped fe80) and queue,
// desk by USB port and queue; the others differ in what they report.
inline constexpr char kPrinters[] = R"(
[printer office]
model = VT-X100 Series
serial = 5A3X01234
region = 1
wired-mac = 00:1B:A9:3C:10:01
wireless-mac = 00:1B:A9:3C:00:01
ipv4 = 192.168.1.31
ipv6 = fe80::21b:a9ff:fe3c:1001%2
queue = Office Queue
agreement = unknown
qel-service = serviceA
registered-id = VTP-REG-0001
unregistered-id = VTP-OLD-0002
next-printer-id = VTP-0001-AAAA-0001

[printer studio]
model = VT-S300 Series
serial = 6B7Y05678
region = 3
wireless-mac = 00:1B:A9:4D:00:02
ipv4 = 192.168.1.32
agreement = agree
qel-service = serviceD

[printer lab]
model = VT-L50 Series
serial = 7C9Z00042
region = 4
wired-mac = 00:1B:A9:5E:10:03
wireless-mac = 00:1B:A9:5E:00:03
wireless-method = wifi_direct
ipv4 = 192.168.1.33
services = device
agreement = disagree

[printer both]
model = VT-B10 Series
serial = 9E2V00001
region = 1234567
wireless-mac = 00:1B:A9:70:00:05
ipv4 = 192.168.1.34
qel-service = serviceD serviceA
agreement = AGREE

[printer desk]
model = VT-M200 Series
serial = 8D1W09012
region = 1
wireless-mac = 00:1B:A9:6F:00:04
usb-port = USB001
queue = Desk Queue
qel-service = serviceA
agreement = unknown
registered-id = VTP-DESK-0001
)";

class WorldDevice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(world.Loaded());
        ASSERT_EQ(world.Load(kPrinters), "");
    }

    // What a printer received, one line per request: "<port1|port2|usb> <service> <operation>
    // <response> [<detail>]".
    std::vector<std::string> Exchanges(std::string_view printer) const {
        return world.Lines(printer, "exchanges");
    }
    // The operations a printer received, in order, separated by blanks.
    std::string Operations(std::string_view printer) const {
        std::string operations;
        for (const std::string& line : Exchanges(printer)) {
            const auto service = line.find(' ');
            const auto operation = line.find(' ', service + 1);
            const auto end = line.find(' ', operation + 1);
            operations += (operations.empty() ? "" : " ") +
                          line.substr(operation + 1, end - operation - 1);
        }
        return operations;
    }
    // The printers afresh, with lines added to one of them.
    void Reload(std::string_view printer, const std::vector<std::string>& lines) const {
        ASSERT_EQ(world.Load(kPrinters), "");
        for (const std::string& line : lines) {
            Configure(printer, line);
        }
    }
    // Adds one line to a printer; "world: <line>" adds it to the world.
    void Configure(std::string_view printer, std::string_view line) const {
        if (line.rfind("world: ", 0) == 0) {
            ASSERT_EQ(world.Configure("", line.substr(7)), "") << line;
        } else {
            ASSERT_EQ(world.Configure(printer, line), "") << line;
        }
    }

    qelworld::Client world{qelwin::ThisModuleFolder()};
    DeviceDll dll;
};

// The bytes of a record as they cross the boundary, written field by field at their offsets.
using RecordBytes = std::array<unsigned char, sizeof(tagDeviceInfo)>;

inline RecordBytes BytesOf(const tagDeviceInfo& record) {
    RecordBytes bytes;
    std::memcpy(bytes.data(), &record, bytes.size());
    return bytes;
}

inline tagDeviceInfo RecordOf(const RecordBytes& bytes) {
    tagDeviceInfo record;
    std::memcpy(&record, bytes.data(), bytes.size());
    return record;
}

// UTF-16 text into a field of chars characters, cut before the terminator, zeroes behind it.
inline void PutWide(RecordBytes& bytes, std::size_t offset, std::size_t chars,
                    std::wstring_view text) {
    for (std::size_t i = 0; i < chars; ++i) {
        const unsigned c = i + 1 < chars && i < text.size() ? text[i] : 0;
        bytes[offset + 2 * i] = static_cast<unsigned char>(c & 0xFF);
        bytes[offset + 2 * i + 1] = static_cast<unsigned char>(c >> 8);
    }
}

// "" when equal, else the first offset that differs and both bytes.
inline std::string Difference(const RecordBytes& actual, const RecordBytes& expected) {
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i]) {
            return "offset " + std::to_string(i) + ": " + std::to_string(actual[i]) + " instead of " +
                   std::to_string(expected[i]);
        }
    }
    return {};
}

} // namespace vtqeldevc::test
