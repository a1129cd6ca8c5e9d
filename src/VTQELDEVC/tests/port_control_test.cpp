// The port controls over scripted port libraries: how they open, their write and read retry
// schedules with the waits they would take, replies in pieces and out of turn, replies that do
// not fit, the port list, and that a channel is closed before its library goes.
#include "scripted_outside.h"

#include "namespace_table.h"
#include "requests.h"
#include "vtmpu2_ctrl.h"
#include "vtmpu_ctrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace vtqeldevc::test {
namespace {

using Strings = std::vector<std::string>;
using Waits = std::vector<unsigned>;

constexpr int kCapacity = 65536;
constexpr char kCanary = '\x7e';

std::string ReplyDocument(const std::string& operation, const std::string& service) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><cmd xmlns:ivec=\"" +
           NamespaceUri(kCommonNamespaceRow) + "\"><ivec:contents><ivec:operation>" + operation +
           "</ivec:operation><ivec:param_set servicetype=\"" + service +
           "\"><ivec:response>OK</ivec:response></ivec:param_set></ivec:contents></cmd>";
}

const std::string kStatusReply = ReplyDocument("GetStatusResponse", "device");

std::string StatusRequest() {
    std::array<char, 4096> buffer{};
    std::size_t length = 0;
    EXPECT_EQ(BuildDeviceGetStatus(buffer, &length), kBuildOk);
    return std::string(buffer.data(), length);
}

// A reply buffer with a canary behind it: nothing may be written past the capacity.
struct ReplyBuffer {
    std::vector<char> bytes = std::vector<char>(kCapacity + 64, kCanary);
    int length = -1;

    char* data() { return bytes.data(); }
    std::string text() const {
        return std::string(bytes.data(), static_cast<std::size_t>(std::max(length, 0)));
    }
    bool canary_intact() const {
        return std::all_of(bytes.begin() + kCapacity, bytes.end(),
                           [](char c) { return c == kCanary; });
    }
};

int Count(const Strings& journal, const std::string& event) {
    return static_cast<int>(std::count(journal.begin(), journal.end(), event));
}

Waits Repeat(unsigned ms, int times) {
    return Waits(static_cast<std::size_t>(times), ms);
}
template <typename Sequence> Sequence Join(Sequence a, const Sequence& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class PortControlTest : public ::testing::Test {
protected:
    // A fresh journal and no waits, then a control for the port type, loaded, aimed and opened
    // the way the type asks (by port name for type 3).
    std::unique_ptr<CVTMPUCom> Opened(int port_type, int port_index = 0) {
        outside_.journal.clear();
        outside_.sleeps.clear();
        auto port = MakePortControl(port_type, outside_.platform());
        EXPECT_EQ(port->LoadPortLib(folder_.c_str()), 0);
        port->SetTarget(port_type >= 2 ? L"USB001" : L"192.0.2.5", port_type, port_index);
        EXPECT_EQ(port_type == 3 ? port->OpenPort() : port->Open(), 0);
        return port;
    }
    static int Exchange(CVTMPUCom& port, ReplyBuffer& reply,
                        const std::string& request = StatusRequest()) {
        return port.Transact(request.data(), static_cast<int>(request.size()), reply.data(),
                             kCapacity, &reply.length);
    }

    ScriptedOutside outside_;
    const std::wstring folder_ = L"C:\\program\\device";
};

// ---- vtmpu2 ------------------------------------------------------------------------------

TEST_F(PortControlTest, NewerLibraryOpensByAddressOrNameOnTheIndexedPath) {
    struct Case {
        const char* name;
        int port_type;
        int port_index;
        int set_ip;
        int opened;
        Strings journal;
    } cases[] = {
        {"address, device path",
         1,
         0,
         0,
         0,
         {"pu2Open", "pu2SetIF 1", "pu2SetIP 192.0.2.5", "pu2SetUrl /velto/ij/command2/port1",
          "pu2SetTimeout 2 60"}},
        {"printer name, qel path",
         0,
         1,
         0,
         0,
         {"pu2Open", "pu2SetIF 1", "pu2SetPrinterName 192.0.2.5",
          "pu2SetUrl /velto/ij/command2/port2", "pu2SetTimeout 2 60"}},
        {"no third path", 1, 2, 0, 1, {}},
        {"a refused setting closes the channel",
         1,
         0,
         -1,
         1,
         {"pu2Open", "pu2SetIF 1", "pu2SetIP 192.0.2.5", "pu2Close 7"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.journal.clear();
        outside_.pu2.set_ip = c.set_ip;
        CVTMPU2Ctrl port(outside_.platform());
        ASSERT_EQ(port.LoadPortLib(folder_.c_str()), 0);
        port.SetTarget(L"192.0.2.5", c.port_type, c.port_index);
        outside_.journal.clear();
        EXPECT_EQ(port.Open(), c.opened);
        EXPECT_EQ(outside_.journal, c.journal);
        EXPECT_EQ(port.Open(), 1) << "a second open while open, or after a failed one";
    }
}

TEST_F(PortControlTest, NewerLibraryWriteRetriesReopenAfterASecondAndGiveUpAfterFourWrites) {
    struct Case {
        const char* name;
        std::deque<int> writes;
        std::deque<int> opens; // after the first
        int close;
        int result;
        int written;
        Waits waits;
    } cases[] = {
        {"written at once", {}, {}, 0, 0, 1, {}},
        {"busy, then written", {-7}, {}, 0, 0, 2, {1000}},
        {"transient failures of every kind", {-7, -11, -12}, {}, 0, 0, 4, Repeat(1000, 3)},
        {"timing out four times", {-8, -8, -8, -8}, {}, 0, 3, 4, Repeat(1000, 3)},
        {"failing to send four times", {-11, -7, -8, -12}, {}, 0, 4, 4, Repeat(1000, 3)},
        {"a reopen asked for: read without writing again", {-10}, {}, 0, 0, 1, {}},
        {"a reopen that fails", {-10}, {0}, 0, 1, 1, {}},
        {"a retry whose reopen fails", {-7}, {0}, 0, 1, 1, {1000}},
        {"a plain failure", {-2}, {}, 0, 4, 1, {}},
        {"a channel that cannot be closed", {-2}, {}, -1, 1, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.pu2.writes = c.writes;
        outside_.pu2.opens = {7};
        outside_.pu2.opens.insert(outside_.pu2.opens.end(), c.opens.begin(), c.opens.end());
        outside_.pu2.close = c.close;
        outside_.pu2.reads = {Pu2Piece(kStatusReply, 0)};
        const auto port = Opened(1);
        ReplyBuffer reply;
        EXPECT_EQ(Exchange(*port, reply), c.result);
        EXPECT_EQ(Count(outside_.journal, "pu2Write"), c.written);
        EXPECT_EQ(outside_.sleeps, c.waits);
        if (c.result == 0) {
            EXPECT_EQ(reply.text(), kStatusReply);
        }
        outside_.pu2.close = 0;
    }
}

TEST_F(PortControlTest, NewerLibraryReadsJoinPiecesWaitForLateRepliesAndKeepATerminator) {
    const std::string big(kCapacity - 1, 'x');
    using Reads = std::deque<Pu2Read>;
    const auto not_yet = [](int times) {
        return Reads(static_cast<std::size_t>(times), Pu2Answer(1));
    };
    struct Case {
        const char* name;
        Reads reads;
        int result;
        std::string reply; // when read
        Waits waits;
        bool closed;
    } cases[] = {
        {"one piece", {Pu2Piece("<a/>", 0)}, 0, "<a/>", {}, false},
        {"three pieces joined in order",
         {Pu2Piece("abc", 1), Pu2Piece("def", 1), Pu2Piece("ghi", 0)},
         0,
         "abcdefghi",
         {},
         false},
        {"thirteen times not yet, then the reply", Join(not_yet(13), Reads{Pu2Piece("late", 0)}), 0,
         "late", Join(Waits{10, 100}, Repeat(1000, 10)), false},
        {"a fourteenth not yet ends it", not_yet(14), 4, "", Join(Waits{10, 100}, Repeat(1000, 10)),
         true},
        {"not yet is counted over the whole exchange",
         Join(Join(not_yet(7), Reads{Pu2Piece("ab", 1)}), not_yet(7)), 4, "",
         Join(Waits{10, 100}, Repeat(1000, 10)), true},
        {"an empty piece promising more is not yet",
         {Pu2Piece("", 1), Pu2Piece("", 1), Pu2Piece("done", 0)},
         0,
         "done",
         {10},
         false},
        {"a receive failure starts the reply again",
         {Pu2Piece("stale", 1), Pu2Answer(-11), Pu2Piece("fresh", 0)},
         0,
         "fresh",
         {1000},
         false},
        {"four receive failures",
         {Pu2Answer(-11), Pu2Answer(-12), Pu2Answer(-11), Pu2Answer(-12)},
         4,
         "",
         Repeat(1000, 3),
         true},
        {"any other failure at once", {Pu2Answer(-3), Pu2Piece("never read", 0)}, 4, "", {}, true},
        {"the largest reply that leaves room for the terminator",
         {Pu2Piece(big, 0)},
         0,
         big,
         {},
         false},
        {"a reply of the whole buffer does not fit", {Pu2Piece(big + "y", 0)}, 4, "", {}, true},
        {"room used up with more to come", {Pu2Piece(big, 1), Pu2Piece("z", 0)}, 4, "", {}, true},
        {"a size larger than the room offered", {Pu2Piece("abc", 0, kCapacity)}, 4, "", {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.pu2.reads = c.reads;
        const auto port = Opened(1, 1);
        ReplyBuffer reply;
        EXPECT_EQ(Exchange(*port, reply), c.result);
        EXPECT_TRUE(reply.canary_intact());
        if (c.result == 0) {
            EXPECT_EQ(reply.length, static_cast<int>(c.reply.size()));
            EXPECT_TRUE(reply.text() == c.reply);
            EXPECT_EQ(reply.bytes[c.reply.size()], '\0');
        }
        EXPECT_EQ(outside_.sleeps, c.waits);
        EXPECT_EQ(Count(outside_.journal, "pu2Close 7"), c.closed ? 1 : 0);
    }
}

TEST_F(PortControlTest, NullArgumentsAndAClosedChannel) {
    const std::string request = StatusRequest();
    CVTMPU2Ctrl port(outside_.platform());
    ReplyBuffer reply;
    EXPECT_EQ(port.Transact(nullptr, 1, reply.data(), kCapacity, &reply.length), 2);
    EXPECT_EQ(port.Transact(request.data(), 1, nullptr, kCapacity, &reply.length), 2);
    EXPECT_EQ(port.Transact(request.data(), 1, reply.data(), kCapacity, nullptr), 2);
    EXPECT_EQ(port.Transact(request.data(), 1, reply.data(), 1, &reply.length), 2);
    // Nothing loaded: the write is reported closed and the close fails.
    EXPECT_EQ(port.Transact(request.data(), static_cast<int>(request.size()), reply.data(),
                            kCapacity, &reply.length),
              1);
    CVTMPUCtrl older(outside_.platform());
    EXPECT_EQ(older.Transact(nullptr, 1, reply.data(), kCapacity, &reply.length), 2);
    EXPECT_TRUE(outside_.journal.empty());
}

// ---- vtmpu -------------------------------------------------------------------------------

TEST_F(PortControlTest, OlderLibraryRetriesWritesByReopeningTheWayItOpened) {
    struct Case {
        const char* name;
        bool by_port;
        std::deque<int> writes;
        int close;
        int result;
        Waits waits;
        Strings opens;
    } cases[] = {
        {"written at once", true, {}, 1, 0, {100}, {"puOpenPort USB001"}},
        {"a USB port is opened by port again",
         true,
         {0, 0},
         1,
         0,
         Waits{2000, 2000, 100},
         {"puOpenPort USB001", "puOpenPort USB001", "puOpenPort USB001"}},
        {"a printer by name again",
         false,
         {0},
         1,
         0,
         {2000, 100},
         {"puOpen USB001", "puOpen USB001"}},
        {"four failed writes",
         true,
         {0, 0, 0, 0},
         1,
         4,
         Repeat(2000, 3),
         Strings(4, "puOpenPort USB001")},
        {"a handle that cannot be closed", true, {0}, 0, 4, {}, {"puOpenPort USB001"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.pu.writes = c.writes;
        outside_.pu.close = c.close;
        // A late reply to another request comes first.
        outside_.pu.reads = {{1, ReplyDocument("GetCapabilityResponse", "device")},
                             {1, kStatusReply}};
        const auto port = Opened(c.by_port ? 3 : 2);
        ReplyBuffer reply;
        EXPECT_EQ(Exchange(*port, reply), c.result);
        EXPECT_EQ(outside_.sleeps, c.waits);
        Strings opens;
        std::copy_if(outside_.journal.begin(), outside_.journal.end(), std::back_inserter(opens),
                     [](const std::string& e) { return e.rfind("puOpen", 0) == 0; });
        EXPECT_EQ(opens, c.opens);
        if (c.result == 0) {
            EXPECT_EQ(reply.text(), kStatusReply);
        }
    }
}

TEST_F(PortControlTest, OlderLibraryReadsUntilTheAnswerToItsOwnRequest) {
    const std::string qel_status = ReplyDocument("GetStatusResponse", "qel");
    const std::string capability = ReplyDocument("GetCapabilityResponse", "device");
    struct Case {
        const char* name;
        std::deque<PuRead> reads;
        int result;
        int reads_done;
        bool closed;
    } cases[] = {
        {"the answer at once", {{1, kStatusReply}}, 0, 1, false},
        {"other operations and service types are passed over",
         {{1, capability}, {1, qel_status}, {1, ""}, {1, "not xml"}, {1, kStatusReply}},
         0,
         5,
         false},
        {"a failing read ends it at once",
         {{1, capability}, {0, ""}, {1, kStatusReply}},
         4,
         2,
         true},
        {"a reply that fills the whole buffer", {{1, std::string(kCapacity, 'x')}}, 4, 1, true},
        {"six hundred reads without the answer", std::deque<PuRead>(600, {1, capability}), 4, 600,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.pu.reads = c.reads;
        const auto port = Opened(3);
        ReplyBuffer reply;
        EXPECT_EQ(Exchange(*port, reply), c.result);
        EXPECT_TRUE(reply.canary_intact());
        EXPECT_EQ(Count(outside_.journal, "puRead"), c.reads_done);
        EXPECT_EQ(outside_.sleeps, Repeat(100, c.reads_done - 1));
        EXPECT_EQ(Count(outside_.journal, "puClose"), c.closed ? 1 : 0);
        if (c.result == 0) {
            EXPECT_EQ(reply.text(), kStatusReply);
            EXPECT_EQ(reply.bytes[kStatusReply.size()], '\0');
        }
    }
}

TEST_F(PortControlTest, OlderLibraryKnowsTheOperationOfEveryRequestItSends) {
    // A ReceiveData request carries its payload, NUL bytes included, behind the document.
    std::array<char, 4096> buffer{};
    std::size_t length = 0;
    QelCommandBuilder builder([] { return std::optional<std::string>("job"); });
    ASSERT_EQ(builder.BuildQelReceiveData("1", "get_id", "16", "d", buffer, &length), kBuildOk);
    const std::uint8_t payload[16] = {0, 1, '<', 0, '>', 0xff};
    ASSERT_EQ(AppendReceiveDataPayload(buffer, length, payload, &length), kBuildOk);
    outside_.pu.reads = {{1, ReplyDocument("ReceiveDataResponse", "qel")}};
    const auto port = Opened(3);
    ReplyBuffer reply;
    EXPECT_EQ(Exchange(*port, reply, std::string(buffer.data(), length)), 0);
    // A request without an operation could never be answered: it is not sent at all.
    EXPECT_EQ(Exchange(*port, reply, "<?xml version=\"1.0\" ?><cmd></cmd>"), 4);
    EXPECT_EQ(Count(outside_.journal, "puWrite"), 1);
}

TEST_F(PortControlTest, PortListNamesEndWithABackslash) {
    const std::string filled = "USB001\\" + std::string(PU_PORT_LIST_BYTES - 7, 'X');
    struct Case {
        const char* name;
        std::string text;
        int count;
        int ok;
        int result;
        std::vector<std::wstring> ports;
    } cases[] = {
        {"two names", "USB001\\USB002\\", 2, 1, 0, {L"USB001", L"USB002"}},
        {"text after the last backslash is no name", "USB001\\USB002", 2, 1, 0, {L"USB001"}},
        {"one name without a backslash", "USB001", 1, 1, 0, {}},
        {"a full buffer without a terminator", filled, 1, 1, 0, {L"USB001"}},
        {"no ports", "", 0, 1, 1, {}},
        {"the library fails", "USB001\\", 1, 0, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.pu.port_list = c.text;
        outside_.pu.port_count = c.count;
        outside_.pu.port_list_ok = c.ok;
        CVTMPUCtrl port(outside_.platform());
        ASSERT_EQ(port.LoadPortLib(folder_.c_str()), 0);
        std::vector<std::wstring> ports{L"left over"};
        EXPECT_EQ(port.GetPortList(ports), c.result);
        EXPECT_EQ(ports, c.ports);
        // A failed list unloads the library: the next list fails without asking it.
        if (c.result != 0) {
            EXPECT_EQ(outside_.Loaded(), 0);
            EXPECT_EQ(port.GetPortList(ports), 1);
        }
    }
    CVTMPU2Ctrl newer(outside_.platform());
    std::vector<std::wstring> untouched{L"kept"};
    EXPECT_EQ(newer.GetPortList(untouched), 0);
    EXPECT_EQ(untouched, std::vector<std::wstring>{L"kept"});
}

TEST_F(PortControlTest, AFailedOpenUnloadsTheOlderLibrary) {
    outside_.pu.open = false;
    CVTMPUCtrl port(outside_.platform());
    ASSERT_EQ(port.LoadPortLib(folder_.c_str()), 0);
    port.SetTarget(L"Printer Queue", 2, 0);
    EXPECT_EQ(port.Open(), 1);
    EXPECT_EQ(outside_.Loaded(), 0);
    outside_.pu.open = true;
    EXPECT_EQ(port.Open(), 1) << "nothing bound until the library is loaded again";
    ASSERT_EQ(port.LoadPortLib(folder_.c_str()), 0);
    EXPECT_EQ(port.Open(), 0);
    EXPECT_EQ(port.Open(), 1) << "already open";
    EXPECT_EQ(outside_.Loaded(), 0);
    EXPECT_EQ(outside_.bad_frees, 0);
}

// ---- Both: loading, unloading and closing ------------------------------------------------

TEST_F(PortControlTest, AnOpenChannelIsClosedBeforeItsLibraryIsUnloaded) {
    struct Case {
        const char* name;
        std::wstring file;
        std::string close;
        bool destroy; // unloaded by the destructor instead of UnloadPortLib
    } cases[] = {
        {"newer, unloaded", L"vtmpu2.dll", "pu2Close 7", false},
        {"newer, destroyed", L"vtmpu2.dll", "pu2Close 7", true},
        {"older, unloaded", L"vtmpu.dll", "puClose", false},
        {"older, destroyed", L"vtmpu.dll", "puClose", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outside_.journal.clear();
        {
            auto port = MakePortControl(c.file == L"vtmpu.dll" ? 3 : 1, outside_.platform());
            ASSERT_EQ(port->LoadPortLib(folder_.c_str()), 0);
            port->SetTarget(L"USB001", 3, 0);
            ASSERT_EQ(c.file == L"vtmpu.dll" ? port->OpenPort() : port->Open(), 0);
            if (!c.destroy) {
                port->UnloadPortLib();
                port->UnloadPortLib();
            }
        }
        const Strings tail(outside_.journal.end() - 2, outside_.journal.end());
        EXPECT_EQ(tail, (Strings{c.close, "free " + Narrow(c.file)}));
        EXPECT_EQ(Count(outside_.journal, c.close), 1);
        EXPECT_EQ(outside_.Loaded(), 0);
        EXPECT_EQ(outside_.bad_frees, 0);
    }
}

TEST_F(PortControlTest, LoadingNeedsAFolderAndEveryEntry) {
    for (const std::wstring file : {L"vtmpu2.dll", L"vtmpu.dll"}) {
        SCOPED_TRACE(Narrow(file));
        auto port = MakePortControl(file == L"vtmpu.dll" ? 2 : 0, outside_.platform());
        EXPECT_EQ(port->LoadPortLib(nullptr), 1);
        EXPECT_EQ(port->LoadPortLib(L""), 1);
        EXPECT_TRUE(outside_.load_paths.empty()) << "never a bare file name";
        ASSERT_EQ(port->LoadPortLib(folder_.c_str()), 0);
        EXPECT_EQ(outside_.load_paths.back(), folder_ + L"\\" + file);
        ASSERT_EQ(port->LoadPortLib(folder_.c_str()), 0) << "loading again unloads first";
        EXPECT_EQ(outside_.Loaded(), 1);
        outside_.load_paths.clear();
    }
    // A library without one of its entries is unloaded at once.
    std::vector<std::pair<std::wstring, std::string>> entries;
    Pu2Api{}.ForEach([&](const char* name, auto&) { entries.emplace_back(L"vtmpu2.dll", name); });
    PuApi{}.ForEach([&](const char* name, auto&) { entries.emplace_back(L"vtmpu.dll", name); });
    ASSERT_EQ(entries.size(), 20u);
    for (const auto& [file, entry] : entries) {
        SCOPED_TRACE(entry);
        ScriptedOutside outside;
        outside.RemoveEntry(file, entry);
        auto port = MakePortControl(file == L"vtmpu.dll" ? 3 : 1, outside.platform());
        EXPECT_EQ(port->LoadPortLib(folder_.c_str()), 1);
        EXPECT_EQ(outside.Loaded(), 0);
        EXPECT_EQ(port->Open(), 1);
        EXPECT_EQ(outside.bad_frees, 0);
    }
}

} // namespace
} // namespace vtqeldevc::test
