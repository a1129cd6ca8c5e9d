// The world pins itself: the stand-in libraries are loaded and unloaded many times, as the
// printer access library does around every operation, and the world keeps what its printers
// received; the handles that an unloaded library left open are counted and dropped. This test
// runs alone in its process, so its first load of the world is the process's first.
#include "face_library.h"
#include "vtwidus/vtwidus_api.h"

#include <gtest/gtest.h>

namespace qelworld::test {
namespace {

TEST(WorldPinTest, TheWorldOutlivesEveryStandInLibrary) {
    ASSERT_EQ(::GetModuleHandleW(L"qelworld.dll"), nullptr) << "nothing loaded the world yet";
    {
        Client world(qelwin::ThisModuleFolder());
        ASSERT_TRUE(world.Loaded());
        ASSERT_EQ(world.Load("[printer office]\nipv4 = 192.168.1.31\nagreement = agree\n"), "");
    }
    EXPECT_NE(::GetModuleHandleW(L"qelworld.dll"), nullptr) << "pinned when the client let go";

    constexpr int kRounds = 40;
    PU2_HANDLE leftOpen = 0;
    for (int round = 0; round < kRounds; ++round) {
        Vtmpu2 pu2;
        ASSERT_TRUE(pu2.lib.Loaded());
        if (leftOpen != 0) {
            EXPECT_EQ(pu2.Close(leftOpen), PU2_ERR_CLOSED) << "dropped with the unloaded library";
            leftOpen = 0;
        }
        const PU2_HANDLE h = pu2.Channel(L"192.168.1.31");
        ASSERT_EQ(pu2.Send(h, Request("device", "GetConfiguration")), 0);
        if (round % 4 == 0) {
            leftOpen = h; // a leak the world should tell about
        } else {
            EXPECT_EQ(pu2.Close(h), 0);
        }
    }
    EXPECT_EQ(::GetModuleHandleW(L"vtmpu2.dll"), nullptr);
    {
        // The packet library's face counts what its unloaded library left behind too.
        FaceLibrary lib(L"vtwidus.dll");
        decltype(&VTWIDUS_CreatePacket) create = nullptr;
        lib.Bind(create, "VTWIDUS_CreatePacket");
        EXPECT_NE(create(VTWIDUS_PACKET_VERSION_3), nullptr);
    }

    Client world(qelwin::ThisModuleFolder());
    EXPECT_EQ(world.Lines("office", "exchanges").size(), static_cast<std::size_t>(kRounds));
    EXPECT_EQ(world.Get("office", "agreement"), "agree");
    EXPECT_EQ(world.Get("", "loads vtmpu2"), std::to_string(kRounds));
    EXPECT_EQ(world.Get("", "unloads vtmpu2"), std::to_string(kRounds));
    EXPECT_EQ(world.Get("", "open-at-unload vtmpu2"), std::to_string(kRounds / 4));
    EXPECT_EQ(world.Get("", "loads vtwidus"), "1");
    EXPECT_EQ(world.Get("", "open-at-unload vtwidus"), "1");
    EXPECT_EQ(world.Get("", "loads vtmpu"), "0");
}

} // namespace
} // namespace qelworld::test
