// Access-point searches: start, poll, settle and mode check, result windows, the named search
// and the search with parameters, with a fake printer and a fake clock.
#include "manager_fixture.h"

namespace vtwidwus::test {
namespace {

const std::string kTime = kArc + ".1.3.2.100.100.3.0";
const std::string kCount = kArc + ".1.3.2.100.100.5.0";

class ApSearchTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        SetState(1, 1, 1, 1);
        SetInt(".1.3.2.100.100.3.0", 5);
        SetInt(".1.3.2.100.100.5.0", 0);
        SetText(".1.3.2.100.100.9.0", "1.00");
    }
    // Networks that the next search finds.
    void AddRow(const std::string& ssid, int signal) {
        const std::string row = "." + std::to_string(++rows_);
        const std::string base = kArc + ".1.3.2.100.100.10.1.1.";
        fake_.mib[base + "2" + row] = TextValue(base + "2" + row, ssid);
        fake_.mib[base + "3" + row] = OctetsValue(base + "3" + row, {0, 1, 2, 3, 4, 5});
        fake_.mib[base + "6" + row] = IntegerValue(base + "6" + row, 7);
        fake_.mib[base + "8" + row] = IntegerValue(base + "8" + row, signal);
    }
    // The search finishes after `polls` reads of the time value that follow a start.
    void FinishSearchAfter(int polls, int modeAfter = -1) {
        fake_.responder = [this, polls, modeAfter](const FakePacket& request,
                                                   FakePacket& response) {
            const int r = fake_.Answer(request, response);
            if (request.command == VTWIDUS_COMMAND_SET) {
                pendingPolls_ = polls;
                ++starts_;
                return r;
            }
            for (FakeVarbind& v : response.varbinds) {
                if (v.oid == kTime && pendingPolls_ > 0 && --pendingPolls_ == 0) {
                    time_ += 1;
                    fake_.mib[kTime] = IntegerValue(kTime, time_);
                    fake_.mib[kCount] = IntegerValue(kCount, rows_);
                    if (modeAfter >= 0) {
                        SetInt(".1.3.2.100.2.0", modeAfter);
                    }
                    v = fake_.mib[kTime];
                }
            }
            return r;
        };
    }

    int rows_ = 0;
    int time_ = 5;
    int pendingPolls_ = 0;
    int starts_ = 0;
    int count_ = -1;
    tagUsbSnmpApSearchResultInfo* list_ = nullptr;
};

TEST_F(ApSearchTest, PlainSearchReadsTheRowsInWindowsOfFive) {
    for (int i = 0; i < 13; ++i) {
        AddRow("net" + std::to_string(i), 50 + i);
    }
    FinishSearchAfter(1);
    ASSERT_EQ(manager_.ApSearch(&device_, nullptr, false, &count_, &list_), 0);
    ASSERT_EQ(count_, 13);
    EXPECT_STREQ(list_[0].dot11APSearchResultSsid_, "net0");
    EXPECT_STREQ(list_[12].dot11APSearchResultSsid_, "net12");
    EXPECT_STREQ(list_[12].dot11APSearchResultBssid_, "000102030405");
    EXPECT_EQ(list_[12].dot11APSearchResultSignalLevel_, 62);

    ASSERT_EQ(fake_.requests.size(), 8u);
    EXPECT_EQ(fake_.requests[2].command, VTWIDUS_COMMAND_SET);
    EXPECT_EQ(Oids(2), (std::vector<std::string>{Oid(".1.3.2.100.100.2.0")}));
    EXPECT_EQ(fake_.requests[5].varbinds.size(), 35u);
    EXPECT_EQ(fake_.requests[6].varbinds.size(), 35u);
    EXPECT_EQ(fake_.requests[7].varbinds.size(), 21u);
    EXPECT_EQ(fake_.requests[7].varbinds.back().oid, Oid(".1.3.2.100.100.10.1.1.8.13"));
    EXPECT_EQ(clock_.Slept(), 0u);
}

TEST_F(ApSearchTest, PollingPausesTimesOutAndRetriesBusyPrinters) {
    FinishSearchAfter(3);
    ASSERT_EQ(manager_.ApSearch(&device_, nullptr, false, &count_, &list_), 0);
    EXPECT_EQ(clock_.Slept(), 4000u) << "two 2000 ms pauses";
    EXPECT_EQ(count_, 0);
    EXPECT_EQ(list_, nullptr);

    ResetCounters();
    FinishSearchAfter(1);
    // Busy, then no content (twice: two passes) before the search shows as finished.
    fake_.commResults = {0, 0, 0, -12, -12, -12, -12, -12, -12, -14, -14};
    ASSERT_EQ(manager_.ApSearch(&device_, nullptr, false, &count_, &list_), 0);
    EXPECT_EQ(clock_.Slept(), 10000u + 1000u);

    ResetCounters();
    FinishSearchAfter(1000000);
    EXPECT_EQ(manager_.ApSearch(&device_, nullptr, false, &count_, &list_), -9);
    EXPECT_GE(clock_.Slept(), 35000u);
    EXPECT_LT(clock_.Slept(), 37100u);
    EXPECT_TRUE(traces_.Contains(3, "ApSearchByExecuteType:errTimeout"));

    ResetCounters();
    cancelled_ = false;
    CancelAtFirstSleep();
    EXPECT_EQ(manager_.ApSearch(&device_, nullptr, false, &count_, &list_), -1);
    EXPECT_EQ(clock_.Slept(), 100u);
}

TEST_F(ApSearchTest, APrinterThatIsSearchingIsNotStartedAgain) {
    SetState(1, 1, 1, 2);
    fake_.mib[kTime] = IntegerValue(kTime, 0);
    int reads = 0;
    fake_.onComm = [&](const FakePacket& request) {
        if (request.varbinds.size() == 2 && request.varbinds[0].oid == kTime && ++reads == 3) {
            fake_.mib[kTime] = IntegerValue(kTime, 9);
        }
    };
    ASSERT_EQ(manager_.ApSearch(&device_, nullptr, true, &count_, &list_), 0);
    for (const FakePacket& r : fake_.requests) {
        EXPECT_NE(r.command, VTWIDUS_COMMAND_SET);
    }
    EXPECT_EQ(clock_.Slept(), 4000u) << "no settle wait without a start";
}

TEST_F(ApSearchTest, AModeWordThatCouldNotBeReadStillStartsASearch) {
    AddRow("a", 1);
    struct Case {
        const char* name;
        FakeVarbind mode;
    } cases[] = {
        {"empty value", OctetsValue(Oid(".1.3.2.100.2.0"), {})},
        {"no such object", NoSuchObject(Oid(".1.3.2.100.2.0"))},
    };
    for (const Case& c : cases) {
        ResetCounters();
        fake_.mib[Oid(".1.3.2.100.2.0")] = c.mode;
        starts_ = 0;
        FinishSearchAfter(1);
        ASSERT_EQ(manager_.ApSearch(&device_, nullptr, false, &count_, &list_), 0) << c.name;
        EXPECT_EQ(starts_, 1) << c.name;
        EXPECT_EQ(count_, rows_) << c.name;
    }
}

TEST_F(ApSearchTest, WaitFlagSettlesAndChecksTheMode) {
    AddRow("a", 1);
    FinishSearchAfter(1);
    ASSERT_EQ(manager_.ApSearch(&device_, nullptr, true, &count_, &list_), 0);
    EXPECT_EQ(clock_.Slept(), 15000u);
    EXPECT_EQ(count_, 1);

    ResetCounters();
    FinishSearchAfter(1, 8);
    EXPECT_EQ(manager_.ApSearch(&device_, nullptr, true, &count_, &list_), -9)
        << "the mode did not come back";

    // A mode word with bits 1 or 2 skips the check.
    ResetCounters();
    SetState(1, 1, 1, 4);
    FinishSearchAfter(1, 8);
    EXPECT_EQ(manager_.ApSearch(&device_, nullptr, true, &count_, &list_), 0);
}

TEST_F(ApSearchTest, NamedSearchKeepsOnlyThatName) {
    for (const char* name : {"a", "cafe", "b", "cafe", "Cafe"}) {
        AddRow(name, 10);
    }
    FinishSearchAfter(1);
    ASSERT_EQ(manager_.ApSearch(&device_, "cafe", false, &count_, &list_), 0);
    ASSERT_EQ(count_, 2);
    EXPECT_STREQ(list_[0].dot11APSearchResultSsid_, "cafe");
    EXPECT_STREQ(list_[1].dot11APSearchResultSsid_, "cafe");
    EXPECT_EQ(Oids(2), (std::vector<std::string>{Oid(".1.3.2.100.100.7.0")}));
    const auto& sent = fake_.requests[2].varbinds[0].value;
    EXPECT_EQ(std::string(sent.begin(), sent.end()), "cafe");

    ResetCounters();
    FinishSearchAfter(1);
    ASSERT_EQ(manager_.ApSearch(&device_, "none", false, &count_, &list_), 0);
    EXPECT_EQ(count_, 0);
}

TEST_F(ApSearchTest, ParameterFlagsAreNormalised) {
    struct Case {
        int flags;
        int ch24;
        int ch5;
        int normalised;
    } cases[] = {
        {0x04, 1, 0, 0x02},    {0x04, 0x0F, 0, 0x06}, {0x04, 0x0E, 0, 0x04}, {0x10, 0, 1, 0x08},
        {0x10, 0, 0x21, 0x18}, {0x14, 0, 0, 0x14},    {0x60, 1, 1, 0x60},    {0x00, 1, 1, 0x00},
    };
    for (const Case& c : cases) {
        tagUsbSnmpApSearchExecuteParamInfo p{};
        p.dot11APSearchExecuteParamChannel24ghz_ = c.ch24;
        p.dot11APSearchExecuteParamChannel5ghz_ = c.ch5;
        EXPECT_EQ(NormaliseParamIndex(c.flags, p), c.normalised) << c.flags << " " << c.ch24;
    }
}

TEST_F(ApSearchTest, SearchWithParametersChecksVersionAndSupport) {
    tagUsbSnmpApSearchExecuteParamInfo p{};
    p.dot11APSearchExecuteParamChannel24ghz_ = 0x0F;
    std::strcpy(p.dot11APSearchExecuteParamSsid_, "abc");
    p.dot11APSearchExecuteParamdot11Mode = 4;
    const int flags = NormaliseParamIndex(0x24, p); // 0x26

    struct Case {
        const char* name;
        const char* version; // null: no such object
        int support;         // -100: no such row
        int result;
    } cases[] = {
        {"old version", "0.9", 1, -13},  {"no version", nullptr, 1, -13},
        {"unsupported", "1.00", 0, -13}, {"no support row", "2", -100, -14},
        {"supported", "1.00", 1, 0},
    };
    for (const Case& c : cases) {
        ResetCounters();
        if (c.version != nullptr) {
            SetText(".1.3.2.100.100.9.0", c.version);
        } else {
            fake_.mib.erase(Oid(".1.3.2.100.100.9.0"));
        }
        const std::string support = Oid(".1.3.2.100.100.8.1.2.4.38");
        fake_.mib.erase(support);
        if (c.support != -100) {
            fake_.mib[support] = IntegerValue(support, c.support);
        }
        FinishSearchAfter(1);
        EXPECT_EQ(manager_.ApSearchExecuteWithParams(&device_, flags, p, 0), c.result) << c.name;
    }
    const FakePacket& start = fake_.requests[4];
    ASSERT_EQ(start.command, VTWIDUS_COMMAND_SET);
    EXPECT_EQ(std::string(start.varbinds[0].value.begin(), start.varbinds[0].value.end()),
              "<bgch-8:00000001><ssid-3:abc>");
}

TEST_F(ApSearchTest, ParameterSearchWithTheCurrentModeWord) {
    const std::string support = Oid(".1.3.2.100.100.8.1.2.1.2");
    fake_.mib[support] = IntegerValue(support, 1);
    FinishSearchAfter(1);
    tagUsbSnmpApSearchExecuteParamInfo p{};
    p.dot11APSearchExecuteParamChannel24ghz_ = 1;
    EXPECT_EQ(manager_.ApSearchExecuteWithParams(&device_, NormaliseParamIndex(0x04, p), p, 0), 0);
    EXPECT_EQ(Oids(2), (std::vector<std::string>{support})) << "row: mode word 1, flags 0x02";

    // A mode word that could not be read is no table index: nothing more is sent.
    ResetCounters();
    fake_.mib[Oid(".1.3.2.100.2.0")] = NoSuchObject(Oid(".1.3.2.100.2.0"));
    EXPECT_EQ(manager_.ApSearchExecuteWithParams(&device_, 0x04, p, 0), -14);
    EXPECT_EQ(fake_.comms, 1);
    p.dot11APSearchExecuteParamdot11Mode = -5;
    EXPECT_EQ(manager_.ApSearchExecuteWithParams(&device_, 0x04, p, 0), -14);
    EXPECT_EQ(fake_.comms, 1);
}

TEST_F(ApSearchTest, ResultListOfAPrinterWithAnImpossibleCount) {
    SetInt(".1.3.2.100.100.5.0", -1);
    count_ = 5;
    EXPECT_EQ(manager_.GetApSearchResultInfoList(&device_, &count_, &list_), -3);
    EXPECT_EQ(count_, 0);
    EXPECT_EQ(list_, nullptr);
    SetInt(".1.3.2.100.100.5.0", 0x7fffffff);
    EXPECT_EQ(manager_.GetApSearchResultInfoList(&device_, &count_, &list_), -3);
    EXPECT_EQ(fake_.comms, 2) << "no rows are read for an impossible count";
    SetInt(".1.3.2.100.100.5.0", 0);
    EXPECT_EQ(manager_.GetApSearchResultInfoList(&device_, &count_, &list_), 0);
    EXPECT_EQ(count_, 0);
}

} // namespace
} // namespace vtwidwus::test
