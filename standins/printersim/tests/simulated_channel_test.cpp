#include "printersim/simulated_channel.h"

#include "responder_fixture.h"

#include <thread>

namespace printersim::testing {
namespace {

using Channel = ResponderTest;

// Reads pieces until the reply ends or a read fails; returns each read's code and size.
std::vector<std::pair<int, std::size_t>> read_all(SimulatedChannel& ch, std::string& reply,
                                                  std::size_t room_size = 65536) {
    std::vector<std::pair<int, std::size_t>> reads;
    std::vector<char> room(room_size);
    for (int i = 0; i < 100; ++i) {
        std::size_t got = 0;
        bool more = false;
        const int rc = ch.Read(room, got, more);
        reads.emplace_back(rc, got);
        reply.append(room.data(), got);
        if (rc != 1 && !(rc == 0 && more)) {
            break;
        }
    }
    return reads;
}

TEST_F(Channel, HandsTheReplyOutInPieces) {
    struct Case {
        const char* what;
        ChannelBehaviour behaviour;
        std::size_t expected_reads;
        int not_ready;
    };
    const Case cases[] = {
        {"one piece", {}, 1, 0},
        {"pieces of 100 bytes", {100, 0}, 0, 0},
        {"three times not ready first", {65536, 3}, 4, 3},
    };
    for (const auto& c : cases) {
        SimulatedChannel ch(responder, PortPath::Port1, c.behaviour);
        const std::string req = request("device", "GetCapability");
        ASSERT_EQ(ch.Write(req), 0) << c.what;
        std::string reply;
        const auto reads = read_all(ch, reply);
        const auto whole = parse(reply);
        EXPECT_EQ(whole.response(), "OK") << c.what;
        EXPECT_EQ(whole.get("ivec:model"), "VT-X100 Series") << c.what;
        if (c.expected_reads) {
            EXPECT_EQ(reads.size(), c.expected_reads) << c.what;
        } else {
            EXPECT_EQ(reads.size(), (reply.size() + 99) / 100) << c.what;
        }
        int not_ready = 0;
        for (auto [rc, n] : reads) {
            not_ready += rc == 1;
        }
        EXPECT_EQ(not_ready, c.not_ready) << c.what;
    }
}

TEST_F(Channel, ReplyOverTheRoomIsNotLost) {
    ReplyFault f;
    f.pad_to = 70000;
    responder.set_scenario(Scenario{{f}, {}, {}});
    SimulatedChannel ch(responder, PortPath::Port1);
    ASSERT_EQ(ch.Write(request("device", "GetStatus")), 0);
    std::vector<char> room(65536);
    std::size_t got = 0;
    bool more = false;
    EXPECT_EQ(ch.Read(room, got, more), 0);
    EXPECT_EQ(got, 65536u);
    EXPECT_TRUE(more);
    EXPECT_EQ(ch.Read(std::span<char>(room.data(), 0), got, more), 0);
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(more);
}

TEST_F(Channel, RefusesWhatAHostMustNotDo) {
    SimulatedChannel ch(responder, PortPath::Port2);
    std::size_t got = 7;
    bool more = true;
    std::vector<char> room(16);
    EXPECT_EQ(ch.Read(room, got, more), SimulatedChannel::kFailed) << "read before any write";
    EXPECT_EQ(got, 0u);

    const std::string big(4097, ' ');
    EXPECT_EQ(ch.Write(big), SimulatedChannel::kFailed);
    EXPECT_EQ(ch.oversized_writes(), 1);
    EXPECT_TRUE(responder.history().empty());

    ASSERT_EQ(ch.Write(request("qel", "GetStatus")), 0);
    std::string reply;
    read_all(ch, reply);
    EXPECT_EQ(ch.Read(room, got, more), SimulatedChannel::kFailed) << "read after the reply";
    EXPECT_EQ(responder.history().size(), 1u);
    EXPECT_EQ(responder.history()[0].port, PortPath::Port2);
}

} // namespace
} // namespace printersim::testing

namespace printersim::testing {
namespace {

// A network search queries several printers at once; one printer asked from several threads
// at once must still answer every request whole.
TEST_F(Channel, AnswersFromSeveralThreads) {
    std::vector<std::thread> threads;
    std::vector<int> good(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i) {
                SimulatedChannel ch(responder, PortPath::Port1, {256, 1});
                if (ch.Write(request("device", i % 2 ? "GetStatus" : "GetCapability")) != 0) {
                    continue;
                }
                std::string reply;
                read_all(ch, reply);
                good[t] += parse(reply).response() == "OK";
            }
        });
    }
    for (auto& th : threads) {
        th.join();
    }
    EXPECT_EQ(good, (std::vector<int>{10, 10, 10, 10}));
    EXPECT_EQ(responder.history().size(), 40u);
}

} // namespace
} // namespace printersim::testing
