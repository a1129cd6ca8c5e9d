// The hardware addresses that a printer of the world reports over the network are those of its
// entry only: a printer described as wired only has no wireless address, as the default world's
// lab printer.
#include "face_library.h"

#include <gtest/gtest.h>

#include <string>

namespace qelworld::test {
namespace {

// The hardware address of one interface in the printer's device GetStatus reply.
std::string HardwareAddress(const std::string& reply, const std::string& id) {
    const auto set = reply.find("id=\"" + id + "\"");
    if (set == std::string::npos) {
        return "<no " + id + ">";
    }
    const auto end = reply.find("</ivec:interface_set>", set);
    return Element(reply.substr(set, end - set), "ivec:hwaddress");
}

std::string StatusOverNetwork(const wchar_t* address) {
    Vtmpu2 pu2;
    const PU2_HANDLE h = pu2.Channel(address);
    std::string reply(65536, '\0');
    int size = static_cast<int>(reply.size());
    int more = 0;
    if (pu2.Send(h, Request("device", "GetStatus")) != 0 ||
        pu2.Read(h, reply.data(), &size, &more) != 0) {
        size = 0;
    }
    pu2.Close(h);
    return reply.substr(0, static_cast<std::size_t>(size));
}

TEST(WorldAddresses, APrinterReportsOnlyTheHardwareAddressesOfItsEntry) {
    const Client world(qelwin::ThisModuleFolder());
    ASSERT_TRUE(world.Loaded());
    struct Case {
        const char* name;
        const char* lines; // null: the default world, reached at 192.168.1.33
        const char* wired;
        const char* wireless;
    };
    const Case cases[] = {
        {"wired only", "wired-mac = 00:1B:A9:5E:10:03\n", "00:1B:A9:5E:10:03", ""},
        {"wireless only", "wireless-mac = 00:1B:A9:4D:00:02\n", "", "00:1B:A9:4D:00:02"},
        {"both", "wired-mac = 00:1B:A9:3C:10:01\nwireless-mac = 00:1B:A9:3C:00:01\n",
         "00:1B:A9:3C:10:01", "00:1B:A9:3C:00:01"},
        {"neither", "", "", ""},
        {"the default world's wired-only lab printer", nullptr, "00:1B:A9:5E:10:03", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.lines != nullptr) {
            ASSERT_EQ(world.Load(std::string("[printer p]\nipv4 = 192.168.1.33\n") + c.lines), "");
        } else {
            ASSERT_EQ(
                world.LoadFile(qelwin::JoinPath(qelwin::ThisModuleFolder(), L"qelworld.world")),
                "");
        }
        const std::string reply = StatusOverNetwork(L"192.168.1.33");
        ASSERT_NE(reply.find("GetStatus"), std::string::npos) << reply;
        EXPECT_EQ(HardwareAddress(reply, "wired0"), c.wired);
        EXPECT_EQ(HardwareAddress(reply, "wireless0"), c.wireless);
    }
}

} // namespace
} // namespace qelworld::test
