#include "command_channel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtqeldevc {
namespace {

// One answer of the scripted channel to a read.
struct Step {
    int result = 0;
    std::string bytes;
    bool more = false;
    // Reports this many bytes more than it copied (a channel that lies about its piece).
    std::size_t overstate = 0;
};

Step NotReady() {
    return {1, "", false, 0};
}

class ScriptedChannel final : public ICommandChannel {
public:
    ScriptedChannel(int write_result, std::vector<Step> steps)
        : write_result_(write_result), steps_(std::move(steps)) {}

    int Write(std::span<const char> request) noexcept override {
        written.emplace_back(request.begin(), request.end());
        return write_result_;
    }

    int Read(std::span<char> room, std::size_t& received, bool& more) noexcept override {
        ++reads;
        if (next_ >= steps_.size()) {
            return -1;
        }
        const Step& step = steps_[next_++];
        const std::size_t copied = std::min(step.bytes.size(), room.size());
        std::copy_n(step.bytes.begin(), copied, room.begin());
        received = copied + step.overstate;
        more = step.more;
        return step.result;
    }

    std::vector<std::string> written;
    int reads = 0;

private:
    int write_result_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
};

struct Case {
    const char* name;
    int write_result;
    std::vector<Step> steps;
    std::size_t reply_capacity;
    TransactResult result;
    std::string reply;            // what arrived, when the exchange succeeded
    std::vector<unsigned> sleeps; // the waits between "nothing ready" answers
};

std::vector<Step> Repeat(const Step& step, int count, std::vector<Step> then = {}) {
    std::vector<Step> steps(static_cast<std::size_t>(count), step);
    steps.insert(steps.end(), then.begin(), then.end());
    return steps;
}

TEST(CommandChannel, TransactGathersPiecesWithinBounds) {
    const Step empty_with_more{0, "", true, 0};
    const std::vector<unsigned> thirteen_waits = {10,   100,  1000, 1000, 1000, 1000,
                                                  1000, 1000, 1000, 1000, 1000, 1000};
    const std::vector<Case> cases = {
        {"one piece", 0, {{0, "<cmd/>", false}}, 64, TransactResult::ok, "<cmd/>", {}},
        {"pieces joined in order",
         0,
         {{0, "<c", true}, {0, "md", true}, {0, "/>", false}},
         64,
         TransactResult::ok,
         "<cmd/>",
         {}},
        {"waits grow while nothing is ready",
         0,
         Repeat(NotReady(), 3, {{0, "ok", false}}),
         64,
         TransactResult::ok,
         "ok",
         {10, 100}},
        {"thirteen answers of nothing ready are borne", 0,
         Repeat(NotReady(), 13, {{0, "ok", false}}), 64, TransactResult::ok, "ok", thirteen_waits},
        {"the fourteenth fails", 0, Repeat(NotReady(), 14, {{0, "ok", false}}), 64,
         TransactResult::failed, "", thirteen_waits},
        {"a few empty pieces before the reply",
         0,
         Repeat(empty_with_more, 2, {{0, "ok", false}}),
         64,
         TransactResult::ok,
         "ok",
         {10}},
        {"empty pieces that never end", 0, Repeat(empty_with_more, 14, {{0, "ok", false}}), 64,
         TransactResult::failed, "", thirteen_waits},
        {"write refused", 7, {{0, "ok", false}}, 64, TransactResult::failed, "", {}},
        {"read failure",
         0,
         {{0, "<c", true}, {-11, "", false}},
         64,
         TransactResult::failed,
         "",
         {}},
        {"exactly the buffer", 0, {{0, "12345678", false}}, 8, TransactResult::ok, "12345678", {}},
        {"more than the buffer",
         0,
         {{0, "1234", true}, {0, "5678", true}, {0, "9", false}},
         8,
         TransactResult::failed,
         "",
         {}},
        {"a piece larger than the room it was given",
         0,
         {{0, "1234", false, 5}},
         8,
         TransactResult::failed,
         "",
         {}},
    };
    for (const auto& c : cases) {
        ScriptedChannel channel(c.write_result, c.steps);
        std::vector<char> reply(c.reply_capacity, '\0');
        std::vector<unsigned> sleeps;
        std::size_t received = 99;
        const std::string request = "<?xml ?><cmd/>";
        const auto result = TransactOverChannel(channel, request, reply, received,
                                                [&](unsigned ms) { sleeps.push_back(ms); });
        EXPECT_EQ(result, c.result) << c.name;
        ASSERT_EQ(channel.written.size(), 1u) << c.name;
        EXPECT_EQ(channel.written[0], request) << c.name;
        EXPECT_EQ(sleeps, c.sleeps) << c.name;
        if (c.result == TransactResult::ok) {
            EXPECT_EQ(std::string(reply.data(), received), c.reply) << c.name;
        }
        if (c.write_result != 0) {
            EXPECT_EQ(channel.reads, 0) << c.name;
        }
    }
}

TEST(CommandChannel, TransactRefusesMissingBuffers) {
    ScriptedChannel channel(0, {{0, "ok", false}});
    std::vector<char> reply(16);
    std::size_t received = 0;
    EXPECT_EQ(TransactOverChannel(channel, {}, reply, received), TransactResult::null_argument);
    EXPECT_EQ(TransactOverChannel(channel, std::string_view("x"), {}, received),
              TransactResult::null_argument);
    EXPECT_TRUE(channel.written.empty());
}

} // namespace
} // namespace vtqeldevc
