// vtmpu.dll loaded as the printer access library loads it, against printers of the world: opening
// by queue and by USB port, replies queued in order (a stale one first), the working port list,
// and failing reads and writes.
#include "face_library.h"

#include <gtest/gtest.h>

#include <vector>

namespace qelworld::test {
namespace {

constexpr char kWorld[] = R"(
[printer desk]
model = VT-M200 Series
serial = 8D1W09012
usb-port = USB002
usb = vtwidwus
queue = Desk Queue

[printer spare]
model = VT-M100 Series
usb-port = USB001
usb = vtwiduns

[printer office]
model = VT-X100 Series
ipv4 = 192.168.1.31
queue = Office Queue

[printer gone]
usb-port = USB003
usb = vtwidwus
plugged = no
queue = Gone Queue
)";

class VtmpuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(world_.Loaded());
        ASSERT_TRUE(pu_.lib.Loaded());
        ASSERT_EQ(world_.Load(kWorld), "");
    }

    int Write(PU_HANDLE h, const std::string& request) { return pu_.Send(h, request); }
    std::string Read(PU_HANDLE h, int capacity = 65536) { return pu_.Receive(h, capacity); }
    std::string Operation(PU_HANDLE h) {
        const std::string reply = Read(h);
        return reply == "<failed>" ? reply : Element(reply, "ivec:operation");
    }

    Client world_{qelwin::ThisModuleFolder()};
    Vtmpu pu_;
};

TEST_F(VtmpuTest, OpensThePrinterBehindAQueueOrOnAUsbPort) {
    struct Case {
        const char* name;
        bool byPort;
        const char* fault;   // a line for the world, or null
        const char* printer; // who answers; null: nothing opens
    };
    const Case cases[] = {
        {"Desk Queue", false, nullptr, "desk"},
        {"Office Queue", false, nullptr, "office"},
        {"USB002", true, nullptr, "desk"},
        {"USB001", true, nullptr, "spare"},
        {"USB003", true, nullptr, nullptr},      // unplugged
        {"Gone Queue", false, nullptr, nullptr}, // its printer is unplugged and on no network
        {"USB009", true, nullptr, nullptr},
        {"Nobody", false, nullptr, nullptr},
        {"", false, nullptr, nullptr},
        {"USB002", true, "fault = puOpenPort fail", nullptr},
        {"Desk Queue", false, "fault = puOpen fail", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(world_.Load(kWorld), "");
        if (c.fault != nullptr) {
            ASSERT_EQ(world_.Configure("", c.fault), "");
        }
        const PU_HANDLE h = c.byPort ? pu_.OpenPort(c.name, 0) : pu_.Open(c.name, 0);
        if (c.printer == nullptr) {
            EXPECT_EQ(h, nullptr);
            continue;
        }
        ASSERT_NE(h, nullptr);
        ASSERT_NE(Write(h, Request("device", "GetCapability")), 0);
        const std::string reply = Read(h);
        EXPECT_EQ(Element(reply, "ivec:model"), world_.Get(c.printer, "model"));
        EXPECT_EQ(world_.Lines(c.printer, "exchanges"),
                  std::vector<std::string>{"usb device GetCapability OK"});
        EXPECT_NE(pu_.Close(h), 0);
        EXPECT_EQ(pu_.Close(h), 0) << "a second close";
    }
    EXPECT_EQ(pu_.Open(nullptr, 0), nullptr);
}

TEST_F(VtmpuTest, RepliesQueueInOrderSoAStaleOneComesFirst) {
    struct Case {
        std::vector<const char*> lines; // for the desk printer
        std::vector<const char*> requests;
        std::vector<std::string> operationsRead; // one read each; "" nothing came
    };
    const Case cases[] = {
        {{}, {"GetStatus", "GetCapability"}, {"GetStatusResponse", "GetCapabilityResponse", ""}},
        // A late reply to the earlier command comes before the awaited one.
        {{"fault = puWrite stale skip 1"},
         {"GetStatus", "GetCapability"},
         {"GetStatusResponse", "GetStatusResponse", "GetCapabilityResponse", ""}},
        // With no earlier reply, a reply to a command never sent.
        {{"fault = puWrite stale"},
         {"GetCapability"},
         {"GetStatusResponse", "GetCapabilityResponse"}},
        {{"no-data-reads = 2"}, {"GetConfiguration"}, {"", "", "GetConfigurationResponse", ""}},
        {{"fault = puRead empty times 2"}, {"GetStatus"}, {"", "", "GetStatusResponse"}},
        {{"fault = puRead fail"}, {"GetStatus"}, {"<failed>", "GetStatusResponse"}},
        {{"reply-delay-ms = 600000"}, {"GetStatus"}, {"", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        ASSERT_EQ(world_.Load(kWorld), "");
        for (const char* line : c.lines) {
            ASSERT_EQ(world_.Configure("desk", line), "");
        }
        const PU_HANDLE h = pu_.OpenPort("USB002", 0);
        ASSERT_NE(h, nullptr);
        // Every request is written before anything is read.
        for (const char* operation : c.requests) {
            ASSERT_NE(Write(h, Request("device", operation)), 0);
        }
        std::vector<std::string> read;
        for (std::size_t i = 0; i < c.operationsRead.size(); ++i) {
            read.push_back(Operation(h));
        }
        EXPECT_EQ(read, c.operationsRead);
        pu_.Close(h);
    }
}

TEST_F(VtmpuTest, AReplyLargerThanTheRoomComesInSeveralReads) {
    const PU_HANDLE h = pu_.Open("Desk Queue", 0);
    ASSERT_NE(Write(h, Request("device", "GetCapability")), 0);
    std::string whole;
    for (std::string piece; !(piece = Read(h, 100)).empty();) {
        EXPECT_LE(piece.size(), 100u);
        whole += piece;
    }
    EXPECT_EQ(Element(whole, "ivec:operation"), "GetCapabilityResponse");
    EXPECT_EQ(whole.substr(whole.size() - 6), "</cmd>");
    pu_.Close(h);
}

TEST_F(VtmpuTest, FailuresOfTheHandleAndOfThePrinter) {
    struct Case {
        const char* line; // for the desk printer
        int write;        // puWrite's result
        std::vector<std::string> reads;
        int closeResult;
        std::size_t requestsReceived;
    };
    const Case cases[] = {
        {"fault = puRead fail-close", 1, {"<failed>", "<failed>"}, 0, 1},
        {"fault = puWrite fail", 0, {""}, 1, 0},
        {"plugged = no", 0, {""}, 1, 0},
        {"fault = puClose fail", 1, {"GetStatusResponse"}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_EQ(world_.Load(kWorld), "");
        const PU_HANDLE h = pu_.OpenPort("USB002", 0);
        ASSERT_NE(h, nullptr);
        ASSERT_EQ(world_.Configure("desk", c.line), "");
        EXPECT_EQ(Write(h, Request("device", "GetStatus")), c.write);
        for (const std::string& expected : c.reads) {
            EXPECT_EQ(Operation(h), expected);
        }
        EXPECT_EQ(pu_.Close(h), c.closeResult);
        EXPECT_EQ(world_.Lines("desk", "exchanges").size(), c.requestsReceived);
    }
    // Requests longer than a printer takes, and arguments that are missing.
    const PU_HANDLE h = pu_.OpenPort("USB002", 0);
    int written = 0;
    char buffer[8];
    int length = 0;
    EXPECT_EQ(Write(h, std::string(4097, 'x')), 0);
    EXPECT_EQ(pu_.Write(h, "x", 1, nullptr, 2000), 0);
    EXPECT_EQ(pu_.Write(nullptr, "x", 1, &written, 2000), 0);
    EXPECT_EQ(pu_.Read(h, buffer, 0, &length, 2000), 0);
    EXPECT_EQ(pu_.Read(h, nullptr, 8, &length, 2000), 0);
    pu_.Close(h);
}

TEST_F(VtmpuTest, TheDeviceIdNamesModelAndSerial) {
    const PU_HANDLE h = pu_.OpenPort("USB002", 0);
    char id[256] = {};
    int length = 0;
    ASSERT_NE(pu_.DeviceID(h, id, sizeof id, &length), 0);
    EXPECT_EQ(std::string(id, static_cast<std::size_t>(length)),
              "MFG:VELTO;CMD:VTXML;MDL:VT-M200 Series;CLS:PRINTER;SN:8D1W09012;");
    EXPECT_EQ(pu_.DeviceID(h, id, 10, &length), 0) << "too little room";
    pu_.Close(h);
}

TEST_F(VtmpuTest, WorkingPortsEachEndWithABackslash) {
    struct Case {
        const char* world;
        const char* fault;
        int capacity;
        int result;
        const char* text;
        int count;
    };
    const Case cases[] = {
        {kWorld, nullptr, PU_PORT_LIST_BYTES, 1, "USB001\\USB002\\", 2},
        {kWorld, nullptr, 15, 1, "USB001\\USB002\\", 2},
        {kWorld, nullptr, 14, 0, "", -1}, // the terminator does not fit
        {kWorld, "fault = pulowWorkingPort no-trailing-backslash", 1024, 1, "USB001\\USB002", 2},
        {kWorld, "fault = pulowWorkingPort none", 1024, 1, "", 0},
        {kWorld, "fault = pulowWorkingPort fail", 1024, 0, "", -1},
        {"[printer office]\nipv4 = 192.168.1.31\n", nullptr, 1024, 1, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        ASSERT_EQ(world_.Load(c.world), "");
        if (c.fault != nullptr) {
            ASSERT_EQ(world_.Configure("", c.fault), "");
        }
        std::string buffer(PU_PORT_LIST_BYTES, '\0');
        int count = -1;
        EXPECT_EQ(pu_.WorkingPort(buffer.data(), c.capacity, &count), c.result);
        EXPECT_EQ(std::string(buffer.c_str()), c.text);
        EXPECT_EQ(count, c.count);
    }
}

} // namespace
} // namespace qelworld::test
