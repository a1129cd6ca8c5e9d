// The printer's floor of the benchmarks: what the world recorded of a printer's exchanges, sent
// again to a freshly loaded world, must be the same exchanges, or the floor times other work.
#include "qelbench/printer_replay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "face_library.h"
#include "win/module_path.h"

namespace {

constexpr char kWorld[] = "[printer p]\nipv4 = 192.168.1.31\nusb = vtwidwus\nusb-port = USB001\n"
                          "qel-service = serviceA\n";

TEST(PrinterReplay, RecordedExchangesSentAgainAreTheSame) {
    const qelworld::Client world(qelwin::ThisModuleFolder());
    const qelbench::PortLibraries ports(qelwin::ThisModuleFolder());
    ASSERT_TRUE(world.Loaded() && ports.Loaded());
    using qelworld::test::Request;
    // Both command paths and USB; bytes past the document (a payload) of every value.
    const std::vector<qelbench::PrinterExchange> sent = {
        {"port1", Request("device", "GetCapability"), 0},
        {"port2", Request("qel", "GetRegisteredId") + std::string("\0\x01\x7f\x80\xff", 5), 0},
        {"usb", Request("device", "GetDeviceInfo"), 0},
    };
    ASSERT_EQ(world.Load(kWorld), "");
    std::vector<std::size_t> replies;
    for (const auto& exchange : sent) {
        replies.push_back(ports.Exchange(L"192.168.1.31", "USB001", exchange).value_or(0));
    }
    const auto recorded = qelbench::RecordedExchanges(world, "p");
    const auto exchanges = world.Lines("p", "exchanges");
    ASSERT_EQ(recorded.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(recorded[i].port, sent[i].port) << i;
        EXPECT_EQ(recorded[i].request, sent[i].request) << i;
        EXPECT_EQ(recorded[i].replyBytes, replies[i]) << i;
        EXPECT_GT(replies[i], 0u) << i;
    }

    ASSERT_EQ(world.Load(kWorld), "");
    for (std::size_t i = 0; i < recorded.size(); ++i) {
        EXPECT_EQ(ports.Exchange(L"192.168.1.31", "USB001", recorded[i]), replies[i]) << i;
    }
    EXPECT_EQ(world.Lines("p", "exchanges"), exchanges);
}

} // namespace
