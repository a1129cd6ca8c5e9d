// vtmpu2.dll loaded as the printer access library loads it, against printers of the world: who
// can be reached how, the reply in pieces after "no data yet" answers, refused arguments, and the
// faults that provoke each retry path of a port control.
#include "face_library.h"

#include <gtest/gtest.h>

#include <vector>

namespace qelworld::test {
namespace {

constexpr char kWorld[] = R"(
[printer office]
model = VT-X100 Series
ipv4 = 192.168.1.31
ipv6 = fe80::21b:a9ff:fe3c:1001%3
queue = Office Queue

[printer slow]
model = VT-S300 Series
ipv4 = 192.168.1.40
piece-size = 100
no-data-reads = 2

[printer desk]
model = VT-M200 Series
usb = vtwiduns
queue = Desk Queue
)";

constexpr wchar_t kPort1[] = L"/velto/ij/command2/port1";
constexpr wchar_t kPort2[] = L"/velto/ij/command2/port2";

class Vtmpu2Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(world_.Loaded());
        ASSERT_TRUE(pu2_.lib.Loaded());
        ASSERT_EQ(world_.Load(kWorld), "");
    }

    PU2_HANDLE Channel(const wchar_t* target, bool byAddress, const wchar_t* path = kPort1) {
        return pu2_.Channel(target, byAddress, path);
    }
    int Write(PU2_HANDLE h, const std::string& request) { return pu2_.Send(h, request); }
    // One pu2Read with room bytes; the piece read is appended to reply.
    int Read(PU2_HANDLE h, std::string& reply, int room = 65535, int* more = nullptr) {
        std::string buffer(static_cast<std::size_t>(room), '\0');
        int size = room;
        int m = -1;
        const int rc = pu2_.Read(h, buffer.data(), &size, &m);
        if (rc == PU2_OK) {
            reply.append(buffer.data(), static_cast<std::size_t>(size));
        }
        if (more != nullptr) {
            *more = m;
        }
        return rc;
    }

    struct Answer {
        int write = 99;
        int noData = 0;
        int pieces = 0;
        std::string reply;
    };
    // Writes once and reads the whole reply, counting "no data yet" answers and pieces.
    Answer Exchange(PU2_HANDLE h, const std::string& request) {
        Answer a;
        a.write = Write(h, request);
        for (int guard = 0; a.write == 0 && guard < 1000; ++guard) {
            int more = 0;
            const int rc = Read(h, a.reply, 65535, &more);
            if (rc == PU2_NO_DATA_YET) {
                ++a.noData;
                continue;
            }
            EXPECT_EQ(rc, PU2_OK);
            ++a.pieces;
            if (rc != PU2_OK || more == 0) {
                break;
            }
        }
        return a;
    }

    Client world_{qelwin::ThisModuleFolder()};
    Vtmpu2 pu2_;
};

TEST_F(Vtmpu2Test, ReachesThePrinterByAddressOrQueueOnEitherPath) {
    struct Case {
        const wchar_t* target;
        bool byAddress;
        const wchar_t* path;
        int write;            // result of the write
        const char* printer;  // who answered
        const char* exchange; // what that printer noted
        int pieces;
        int noData;
    };
    const Case cases[] = {
        {L"192.168.1.31", true, kPort1, 0, "office", "port1 device GetCapability OK", 1, 0},
        {L"fe80::21b:a9ff:fe3c:1001%3", true, kPort1, 0, "office", "port1 device GetCapability OK",
         1, 0},
        {L"FE80:0:0:0:21B:A9FF:FE3C:1001%3", true, kPort1, 0, "office",
         "port1 device GetCapability OK", 1, 0},
        {L"Office Queue", false, kPort1, 0, "office", "port1 device GetCapability OK", 1, 0},
        {L"192.168.1.31", true, kPort2, 0, "office",
         "port2 device GetCapability NG NotSupportService", 1, 0},
        {L"192.168.1.40", true, kPort1, 0, "slow", "port1 device GetCapability OK", 0, 2},
        // Off the network, or on another link, the printer is not there.
        {L"fe80::21b:a9ff:fe3c:1001%4", true, kPort1, PU2_ERR_CONNECT, nullptr, nullptr, 0, 0},
        {L"fe80::21b:a9ff:fe3c:1001", true, kPort1, PU2_ERR_CONNECT, nullptr, nullptr, 0, 0},
        {L"192.168.1.99", true, kPort1, PU2_ERR_CONNECT, nullptr, nullptr, 0, 0},
        {L"Nobody's Queue", false, kPort1, PU2_ERR_CONNECT, nullptr, nullptr, 0, 0},
        // A queue of a printer on USB only is still a way to it.
        {L"Desk Queue", false, kPort1, 0, "desk", "port1 device GetCapability OK", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        ASSERT_EQ(world_.Load(kWorld), "");
        const PU2_HANDLE h = Channel(c.target, c.byAddress, c.path);
        ASSERT_NE(h, 0);
        const Answer a = Exchange(h, Request("device", "GetCapability"));
        EXPECT_EQ(a.write, c.write);
        EXPECT_EQ(pu2_.Close(h), 0);
        if (c.printer == nullptr) {
            continue;
        }
        EXPECT_EQ(world_.Lines(c.printer, "exchanges"), std::vector<std::string>{c.exchange});
        EXPECT_EQ(a.noData, c.noData);
        if (c.pieces > 0) {
            EXPECT_EQ(a.pieces, c.pieces);
        } else {
            // Pieces of at most 100 bytes, joined in order.
            EXPECT_EQ(a.pieces, static_cast<int>((a.reply.size() + 99) / 100));
        }
        EXPECT_EQ(Element(a.reply, "ivec:operation"), "GetCapabilityResponse");
        EXPECT_EQ(a.reply.substr(a.reply.size() - 6), "</cmd>");
        if (std::string(c.exchange).find(" OK") != std::string::npos) {
            EXPECT_EQ(Element(a.reply, "ivec:model"), world_.Get(c.printer, "model"));
        }
    }
}

TEST_F(Vtmpu2Test, RefusesWhatNoChannelCanDo) {
    const PU2_HANDLE h = pu2_.Open();
    ASSERT_NE(h, 0);
    std::string reply;
    char buffer[16];
    int size = 0;
    int more = 0;
    struct Case {
        const char* what;
        int result;
        int expected;
    };
    const Case cases[] = {
        {"an interface other than the network", pu2_.SetIF(h, 2), PU2_ERR_PARAM},
        {"a text that is no address", pu2_.SetIP(h, L"printer.local"), PU2_ERR_PARAM},
        {"a null address", pu2_.SetIP(h, nullptr), PU2_ERR_PARAM},
        {"an empty queue name", pu2_.SetPrinterName(h, L""), PU2_ERR_PARAM},
        {"a third command path", pu2_.SetUrl(h, L"/velto/ij/command2/port3"), PU2_ERR_PARAM},
        {"a time-out of another kind", pu2_.SetTimeout(h, 1, 60), PU2_ERR_PARAM},
        {"a write before a path", Write(h, Request("device", "GetStatus")), PU2_ERR_PARAM},
        {"a read before any write", Read(h, reply), PU2_ERR_FAILED},
        {"a read without room", (size = 0, pu2_.Read(h, buffer, &size, &more)), PU2_ERR_PARAM},
        {"a handle never given out", pu2_.SetIF(h + 1000, PU2_IF_NETWORK), PU2_ERR_PARAM},
        {"handle 0", pu2_.Close(0), PU2_ERR_PARAM},
        {"the close", pu2_.Close(h), PU2_OK},
        {"a closed channel", pu2_.SetIF(h, PU2_IF_NETWORK), PU2_ERR_CLOSED},
        {"a second close", pu2_.Close(h), PU2_ERR_CLOSED},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, c.expected) << c.what;
    }
    // A request longer than the printer takes is not sent.
    const PU2_HANDLE g = Channel(L"192.168.1.31", true);
    EXPECT_EQ(Write(g, std::string(4097, 'x')), PU2_ERR_FAILED);
    EXPECT_TRUE(world_.Lines("office", "exchanges").empty());
    pu2_.Close(g);
}

// Every retry path of a port control, provoked by faults of the printer: what each call returns.
TEST_F(Vtmpu2Test, FaultsProvokeEachRetryPath) {
    enum Step { kWrite, kRead, kReopen };
    struct Case {
        const char* fault;
        std::vector<std::pair<Step, int>> steps;
        int requestsReceived;
    };
    const Case cases[] = {
        {"fault = pu2Write -8 times 3",
         {{kWrite, -8}, {kWrite, -8}, {kWrite, -8}, {kWrite, 0}, {kRead, 0}},
         1},
        {"fault = pu2Write -7", {{kWrite, -7}, {kWrite, 0}, {kRead, 0}}, 1},
        {"fault = pu2Write -11 times 4",
         {{kWrite, -11}, {kWrite, -11}, {kWrite, -11}, {kWrite, -11}},
         0},
        {"fault = pu2Write -12 skip 1",
         {{kWrite, 0}, {kRead, 0}, {kWrite, -12}, {kWrite, 0}, {kRead, 0}},
         2},
        {"fault = pu2Write fail", {{kWrite, PU2_ERR_FAILED}, {kRead, PU2_ERR_FAILED}}, 0},
        // The request went out; its reply comes on the next channel to the printer.
        {"fault = pu2Write -10", {{kWrite, -10}, {kReopen, 0}, {kRead, 0}}, 1},
        {"fault = pu2Read 1 times 13",
         {{kWrite, 0},
          {kRead, 1},
          {kRead, 1},
          {kRead, 1},
          {kRead, 1},
          {kRead, 1},
          {kRead, 1},
          {kRead, 1},
          {kRead, 1},
          {kRead, 1},
          {kRead, 1},
          {kRead, 1},
          {kRead, 1},
          {kRead, 1},
          {kRead, 0}},
         1},
        {"fault = pu2Read -11 times 2", {{kWrite, 0}, {kRead, -11}, {kRead, -11}, {kRead, 0}}, 1},
        {"fault = pu2Read -4", {{kWrite, 0}, {kRead, -4}, {kRead, 0}}, 1},
        {"no-data-reads = 3", {{kWrite, 0}, {kRead, 1}, {kRead, 1}, {kRead, 1}, {kRead, 0}}, 1},
        // Far in the future: the reply is not there yet.
        {"reply-delay-ms = 600000", {{kWrite, 0}, {kRead, 1}, {kRead, 1}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        ASSERT_EQ(world_.Load(kWorld), "");
        ASSERT_EQ(world_.Configure("office", c.fault), "");
        PU2_HANDLE h = Channel(L"192.168.1.31", true);
        ASSERT_NE(h, 0);
        std::string reply;
        for (const auto& [step, expected] : c.steps) {
            if (step == kReopen) {
                EXPECT_EQ(pu2_.Close(h), 0);
                h = Channel(L"192.168.1.31", true);
                ASSERT_NE(h, 0);
            } else if (step == kWrite) {
                EXPECT_EQ(Write(h, Request("device", "GetStatus")), expected);
            } else {
                reply.clear();
                EXPECT_EQ(Read(h, reply), expected);
                if (expected == 0) {
                    EXPECT_EQ(Element(reply, "ivec:operation"), "GetStatusResponse");
                }
            }
        }
        pu2_.Close(h);
        EXPECT_EQ(world_.Lines("office", "exchanges").size(),
                  static_cast<std::size_t>(c.requestsReceived));
    }
}

TEST_F(Vtmpu2Test, AReceiveFailureSendsTheReplyAgainFromItsStart) {
    ASSERT_EQ(world_.Configure("slow", "fault = pu2Read -12 skip 3"), "");
    ASSERT_EQ(world_.Configure("slow", "no-data-reads = 0"), "");
    const PU2_HANDLE h = Channel(L"192.168.1.40", true);
    ASSERT_EQ(Write(h, Request("device", "GetConfiguration")), 0);
    std::string first;
    std::string again;
    int more = 0;
    EXPECT_EQ(Read(h, first, 65535, &more), 0);
    EXPECT_EQ(more, 1);
    EXPECT_EQ(Read(h, first, 65535, &more), 0);
    EXPECT_EQ(Read(h, first, 65535, &more), 0);
    EXPECT_EQ(Read(h, first), PU2_ERR_RECEIVE);
    EXPECT_EQ(Read(h, again, 65535, &more), 0);
    EXPECT_EQ(again, first.substr(0, 100)) << "the reply starts over";
    pu2_.Close(h);
}

TEST_F(Vtmpu2Test, FaultsOfTheWorldHitChannelsWithoutAPrinterAndTheJournalShowsEveryCall) {
    ASSERT_EQ(world_.Configure("", "fault = pu2Open fail"), "");
    EXPECT_EQ(pu2_.Open(), 0);
    world_.ClearJournal();
    const PU2_HANDLE h = Channel(L"Office Queue", false);
    ASSERT_NE(h, 0);
    ASSERT_EQ(world_.Configure("office", "fault = pu2Close -2"), "");
    EXPECT_EQ(pu2_.Close(h), -2);
    EXPECT_EQ(pu2_.Close(h), 0) << "the failed close left the channel open";
    const std::string n = std::to_string(h);
    EXPECT_EQ(world_.Journal(),
              (std::vector<std::string>{"pu2Open -> " + n, "pu2SetIF " + n + " 1 -> 0",
                                        "pu2SetPrinterName " + n + " \"Office Queue\" -> 0",
                                        "pu2SetUrl " + n + " /velto/ij/command2/port1 -> 0",
                                        "pu2SetTimeout " + n + " 2 60 -> 0",
                                        "pu2Close " + n + " -> -2", "pu2Close " + n + " -> 0"}));
    EXPECT_EQ(world_.Get("office", "hits pu2Close"), "1");
}

} // namespace
} // namespace qelworld::test
