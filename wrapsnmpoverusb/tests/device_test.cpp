// Exchanges of a device: retry schedules, cancellable waits, SET of changed values and the
// SET-and-wait, through the instance with a fake printer and a fake clock.
#include "manager_fixture.h"

namespace vtwidwus::test {
namespace {

using DeviceTest = ManagerTest;

TEST_F(DeviceTest, RetrySchedulesPerErrorClass) {
    struct Case {
        const char* name;
        std::vector<int> discovery;
        std::vector<int> comm;
        int result;
        int comms;
        int discoveries;
        std::uint64_t slept;
    } cases[] = {
        {"four connection errors", {}, {-11, -12, -13, -11}, 0, 5, 1, 0},
        {"five connection errors", {}, {-11, -11, -11, -11, -11}, 0, 6, 1, 10000},
        {"six connection errors", {}, {-13, -13, -13, -13, -13, -13}, -10, 6, 1, 10000},
        {"one time-out", {}, {-7}, 0, 2, 1, 4000},
        {"two time-outs", {}, {-7, -8}, -6, 2, 1, 4000},
        {"one of each class", {}, {-11, -8}, 0, 3, 1, 4000},
        {"other failure ends at once", {}, {-6}, -5, 1, 1, 0},
        {"undecodable", {}, {-9}, -8, 1, 1, 0},
        {"no content twice: two passes", {}, {-14, -14}, -11, 2, 2, 0},
        {"no content once", {}, {-14}, 0, 2, 2, 0},
        {"discovery connection errors", {-13, -13, -13, -13, -13}, {}, 0, 1, 6, 10000},
        {"discovery failure skips the request", {-6}, {}, -5, 0, 1, 0},
        {"discovery time-outs", {-8, -8}, {}, -6, 0, 2, 4000},
    };
    for (const Case& c : cases) {
        ResetCounters();
        fake_.discoveryResults = c.discovery;
        fake_.commResults = c.comm;
        tagUsbSnmpStateInfo state{};
        EXPECT_EQ(manager_.GetInfo(&device_, 1, &state), c.result) << c.name;
        EXPECT_EQ(fake_.comms, c.comms) << c.name;
        EXPECT_EQ(fake_.discoveries, c.discoveries) << c.name;
        EXPECT_EQ(clock_.Slept(), c.slept) << c.name;
        EXPECT_EQ(fake_.livePackets, 0) << c.name;
    }
}

TEST_F(DeviceTest, ErrorStatusAndUnknownTypesAndDevices) {
    fake_.errorStatus = 2;
    tagUsbSnmpInfraInfo infra{};
    EXPECT_EQ(manager_.GetInfo(&device_, 3, &infra), -8);
    EXPECT_TRUE(traces_.Contains(3, "Comm:errStatus:2"));
    fake_.errorStatus = 0;

    ResetCounters();
    EXPECT_EQ(manager_.GetInfo(&device_, 7, &infra), -3);
    EXPECT_EQ(manager_.SetInfo(&device_, 0, &infra), -3);
    EXPECT_EQ(manager_.SetInfo(&device_, 6, &infra), -3) << "type 6 is not settable";
    tagUsbDevice unknown{};
    std::strcpy(unknown.serialNumber_, "SN0002");
    EXPECT_EQ(manager_.GetInfo(&unknown, 1, &infra), -2);
    EXPECT_EQ(fake_.discoveries, 1) << "only the type-6 SET reached the printer";
}

TEST_F(DeviceTest, ACancelDuringAWaitEndsTheOperation) {
    struct Case {
        const char* name;
        std::vector<int> discovery;
        std::vector<int> comm;
    } cases[] = {
        {"connection wait", {}, {-11, -11, -11, -11, -11, 0}},
        {"time-out wait", {}, {-7, 0}},
        {"discovery wait", {-8, 0}, {}},
    };
    for (const Case& c : cases) {
        ResetCounters();
        cancelled_ = false;
        CancelAtFirstSleep();
        fake_.discoveryResults = c.discovery;
        fake_.commResults = c.comm;
        tagUsbSnmpStateInfo state{};
        EXPECT_EQ(manager_.GetInfo(&device_, 1, &state), -1) << c.name;
        EXPECT_EQ(clock_.Slept(), 100u) << c.name << ": stops within one check";
        EXPECT_TRUE(traces_.Contains(2, "WaitWithCancelComm:Canceled")) << c.name;
        // The next operation starts afresh.
        clock_.onSleep = nullptr;
        fake_.commResults.clear();
        fake_.discoveryResults.clear();
        EXPECT_EQ(manager_.GetInfo(&device_, 1, &state), 0) << c.name;
    }
}

TEST_F(DeviceTest, SetSendsChangesAndAFailedSetIsSentAgain) {
    SetText(".1.3.2.100.10.3.0", "home");
    SetInt(".1.3.2.100.10.5.0", 6);
    tagUsbSnmpInfraInfo infra{};
    ASSERT_EQ(manager_.GetInfo(&device_, 3, &infra), 0);
    std::strcpy(infra.ssid_, "office");

    ResetCounters();
    fake_.commResults = {-6};
    EXPECT_EQ(manager_.SetInfo(&device_, 3, &infra), -5);
    ResetCounters();
    ASSERT_EQ(manager_.SetInfo(&device_, 3, &infra), 0);
    ASSERT_EQ(fake_.requests.size(), 1u);
    EXPECT_EQ(fake_.requests[0].command, VTWIDUS_COMMAND_SET);
    EXPECT_EQ(Oids(0),
              (std::vector<std::string>{Oid(".1.3.2.100.10.3.0"), Oid(".1.3.2.100.10.5.0")}))
        << "the failed SET left the name unsent";

    ResetCounters();
    ASSERT_EQ(manager_.SetInfo(&device_, 3, &infra), 0);
    EXPECT_EQ(Oids(0), (std::vector<std::string>{Oid(".1.3.2.100.10.5.0")}));
    EXPECT_EQ(fake_.usbTimeouts.back(), 1000);
}

TEST_F(DeviceTest, TheUsbTimeOutReachesThePacketLibrary) {
    ASSERT_EQ(manager_.SetTimeout(1, 2500), 0);
    EXPECT_EQ(manager_.SetTimeout(3, 1), -2);
    tagUsbSnmpStateInfo state{};
    ASSERT_EQ(manager_.GetInfo(&device_, 1, &state), 0);
    EXPECT_EQ(fake_.usbTimeouts.back(), 2500);
    EXPECT_EQ(state.dot11Mode_, 4);
}

// The printer shows a newly written mode word only after some reads.
void DelayModeChange(FakeVtwidus& fake, int reads, int& pending) {
    fake.responder = [&fake, reads, &pending](const FakePacket& request, FakePacket& response) {
        const std::string mode = kArc + ".1.3.2.100.2.0";
        if (request.command == VTWIDUS_COMMAND_SET) {
            const FakeVarbind old = fake.mib[mode];
            const int r = fake.Answer(request, response);
            pending = reads;
            fake.mib[mode + "#new"] = fake.mib[mode];
            fake.mib[mode] = old;
            return r;
        }
        if (pending > 0 && --pending == 0) {
            fake.mib[mode] = fake.mib[mode + "#new"];
        }
        return fake.Answer(request, response);
    };
}

TEST_F(DeviceTest, SetAndWaitForTheModeWord) {
    tagUsbSnmpStateInfo state{};
    ASSERT_EQ(manager_.GetInfo(&device_, 1, &state), 0); // mode word 4

    // Overlapping bits of a read word: no polling.
    ResetCounters();
    state.dot11Mode_ = 4 | 8;
    EXPECT_EQ(manager_.SetInfoAndWaitChangeDot11Mode(&device_, 1, &state), 0);
    EXPECT_EQ(fake_.comms, 1);

    // A new word that the printer takes after two reads: polls with 2000 ms pauses.
    int pending = 0;
    DelayModeChange(fake_, 3, pending);
    ResetCounters();
    state.dot11Mode_ = 2;
    EXPECT_EQ(manager_.SetInfoAndWaitChangeDot11Mode(&device_, 1, &state), 0);
    EXPECT_EQ(fake_.comms, 1 + 3);
    EXPECT_EQ(clock_.Slept(), 4000u);

    // Never taken: the export reports the mode time-out after 30 s.
    DelayModeChange(fake_, 1000000, pending);
    ResetCounters();
    state.dot11Mode_ = 16;
    EXPECT_EQ(manager_.SetInfoAndWaitChangeDot11Mode(&device_, 1, &state), -12);
    EXPECT_GE(clock_.Slept(), 30000u);
    EXPECT_LT(clock_.Slept(), 32100u);
    EXPECT_TRUE(traces_.Contains(3, "SetInfoAndWaitChangeDot11Mode:errTimeout"));

    // A cancel during a pause ends the wait as cancelled.
    ResetCounters();
    cancelled_ = false;
    CancelAtFirstSleep();
    state.dot11Mode_ = 32;
    EXPECT_EQ(manager_.SetInfoAndWaitChangeDot11Mode(&device_, 1, &state), -1);
    EXPECT_EQ(clock_.Slept(), 100u);

    EXPECT_EQ(manager_.SetInfoAndWaitChangeDot11Mode(&device_, 2, &state), -2);
}

TEST_F(DeviceTest, SetAndWaitPollsWhenTheWordWasNeverRead) {
    // No read before: the requested bits are not compared with a missing word.
    SetState(1, 1, 1, 1);
    int pending = 0;
    DelayModeChange(fake_, 2, pending);
    tagUsbSnmpInfraInfo infra{};
    infra.dot11Mode_ = 4;
    ResetCounters();
    EXPECT_EQ(manager_.SetInfoAndWaitChangeDot11Mode(&device_, 3, &infra), 0);
    EXPECT_EQ(fake_.comms, 1 + 2);
}

TEST_F(DeviceTest, APollWithoutAModeWordIsNoChange) {
    tagUsbSnmpStateInfo state{1, 1, 1, 4};
    struct Case {
        const char* name;
        FakeVarbind (*answer)(const std::string& oid);
        int polls; // polls answered without a usable word
        int result;
        int comms;
        std::uint64_t slept;
    } cases[] = {
        {"no such object twice", NoSuchObject, 2, 0, 1 + 3, 4000},
        {"empty value twice", [](const std::string& oid) { return OctetsValue(oid, {}); }, 2, 0,
         1 + 3, 4000},
        {"no such object throughout", NoSuchObject, 1000, -12, 0, 30000},
    };
    for (const Case& c : cases) {
        SetState(1, 1, 1, 1);
        tagUsbSnmpStateInfo read{};
        ASSERT_EQ(manager_.GetInfo(&device_, 1, &read), 0) << c.name; // remembers 1
        ResetCounters();
        int unusable = c.polls;
        fake_.responder = [&](const FakePacket& request, FakePacket& response) {
            const int r = fake_.Answer(request, response);
            if (request.command == VTWIDUS_COMMAND_GET && unusable > 0) {
                --unusable;
                for (FakeVarbind& v : response.varbinds) {
                    if (v.oid == Oid(".1.3.2.100.2.0")) {
                        v = c.answer(v.oid);
                    }
                }
            }
            return r;
        };
        EXPECT_EQ(manager_.SetInfoAndWaitChangeDot11Mode(&device_, 1, &state), c.result) << c.name;
        if (c.comms != 0) {
            EXPECT_EQ(fake_.comms, c.comms) << c.name;
        }
        EXPECT_GE(clock_.Slept(), c.slept) << c.name;
        fake_.responder = nullptr;
    }
}

TEST_F(DeviceTest, SearchListsAnsweringPrintersAndKeepsTheListedSerial) {
    fake_.models = {"A", "B", "C"};
    const std::string longSerial(70, 'S');
    int serialReads = 0;
    fake_.responder = [&](const FakePacket& request, FakePacket& response) {
        const int r = fake_.Answer(request, response);
        if (request.varbinds.size() == 1 && request.varbinds[0].oid == Oid(".1.2.1.8.1.3.1.1")) {
            ++serialReads;
            if (serialReads == 2) {
                return -6; // B does not answer
            }
            response.varbinds[0] =
                TextValue(request.varbinds[0].oid, serialReads == 1 ? longSerial : "SN-C");
        }
        return r;
    };
    int count = -1;
    tagUsbDevice* list = nullptr;
    ASSERT_EQ(manager_.Search(&count, &list), 0);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(list[0].modelName_, "A");
    EXPECT_EQ(std::string(list[0].serialNumber_), longSerial.substr(0, 64));
    EXPECT_STREQ(list[1].serialNumber_, "SN-C");
    EXPECT_EQ(fake_.liveInstances, 2);
    fake_.responder = nullptr;
    tagUsbSnmpStateInfo state{};
    EXPECT_EQ(manager_.GetInfo(&list[0], 1, &state), 0) << "the listed serial finds the printer";
    EXPECT_EQ(manager_.GetInfo(&device_, 1, &state), -2) << "the old devices are gone";
}

TEST_F(DeviceTest, SearchResultsOfThePacketLibrary) {
    static const VTWIDUS_USB_ENTRY none[1] = {};
    struct Case {
        const char* name;
        int count;
        const VTWIDUS_USB_ENTRY* list;
        int result;
    } cases[] = {
        {"empty bus", 0, nullptr, 0},
        {"failure", -12, nullptr, -10},
        {"count without a list", 2, nullptr, -3},
        {"unknown code", -20, none, -3},
    };
    for (const Case& c : cases) {
        fake_.forceSearch = true;
        fake_.forcedSearchCount = c.count;
        fake_.forcedSearchList = c.list;
        int count = 7;
        tagUsbDevice* list = &device_;
        EXPECT_EQ(manager_.Search(&count, &list), c.result) << c.name;
        EXPECT_EQ(count, 0) << c.name;
        EXPECT_EQ(list, nullptr) << c.name;
    }
    EXPECT_EQ(fake_.liveInstances, 0);
}

} // namespace
} // namespace vtwidwus::test
