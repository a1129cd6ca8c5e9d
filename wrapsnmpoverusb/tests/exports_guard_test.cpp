// The exports in this process over a fake packet library: an exception inside the library
// becomes a failed result with the locks released and nothing half-changed, and caller text
// without a terminator is read no further than its field.
#include "fake_vtwidus.h"

#include <iwrapsnmpoverusb/iwrapsnmpoverusb.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <future>
#include <new>
#include <stdexcept>

namespace vtwidwus::test {
namespace {

const std::string kArc = "1.3.6.1.4.1.58217";

class ExportsGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_.models = {"Model G"};
        Set(".1.2.1.8.1.3.1.1", TextValue(kArc + ".1.2.1.8.1.3.1.1", "SN-G"));
        Set(".1.3.2.100.2.0", IntegerValue(kArc + ".1.3.2.100.2.0", 1));
        Set(".1.3.2.100.100.3.0", IntegerValue(kArc + ".1.3.2.100.100.3.0", 0));
        Set(".1.3.2.100.100.5.0", IntegerValue(kArc + ".1.3.2.100.100.5.0", 0));
        Set(".1.3.2.100.100.9.0", TextValue(kArc + ".1.3.2.100.100.9.0", "1.00"));
        Set(".1.3.2.100.100.8.1.2.1.0", IntegerValue(kArc + ".1.3.2.100.100.8.1.2.1.0", 1));
        instance_ = VTWIDWUS_CreateInstance();
        ASSERT_NE(instance_, nullptr);
        int count = 0;
        tagUsbDevice* list = nullptr;
        ASSERT_EQ(VTWIDWUS_Search(instance_, &count, &list), 0);
        ASSERT_EQ(count, 1);
        device_ = list[0];
    }
    void TearDown() override { VTWIDWUS_DestroyInstance(instance_); }

    void Set(const char* suffix, FakeVarbind value) { fake_.mib[kArc + suffix] = std::move(value); }
    // A read on another thread: it gets the device lock, so nothing kept it.
    int ReadFromAnotherThread() {
        auto other = std::async(std::launch::async, [this] {
            tagUsbSnmpStateInfo state{};
            return VTWIDWUS_GetInfo(instance_, &device_, 1, &state);
        });
        if (other.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "the device lock was kept";
            std::abort(); // a thread that waits forever cannot be joined
        }
        return other.get();
    }

    FakeVtwidus fake_;
    FakeConvert clock_;
    TraceCapture traces_;
    VTWIDWUS_INSTANCE instance_ = nullptr;
    tagUsbDevice device_{};
};

TEST_F(ExportsGuardTest, AnExceptionInsideTheLibraryIsAFailedResultAndReleasesTheLocks) {
    int count = 5;
    tagUsbSnmpApSearchResultInfo* rows = nullptr;
    tagUsbSnmpStateInfo state{};
    tagUsbSnmpInfraInfo infra{};
    tagUsbSnmpApSearchExecuteParamInfo param{};
    struct Case {
        const char* name;
        bool list; // returns a list
        std::function<int()> call;
    } cases[] = {
        {"GetInfo", false, [&] { return VTWIDWUS_GetInfo(instance_, &device_, 1, &state); }},
        {"SetInfo", false, [&] { return VTWIDWUS_SetInfo(instance_, &device_, 3, &infra); }},
        {"SetInfoAndWait", false,
         [&] { return VTWIDWUS_SetInfoAndWaitChangeDot11Mode(instance_, &device_, 1, &state); }},
        {"ApSearch", true,
         [&] { return VTWIDWUS_ApSearch(instance_, &device_, nullptr, &count, &rows); }},
        {"ApSearchAndWait", true,
         [&] { return VTWIDWUS_ApSearchAndWait(instance_, &device_, "net", &count, &rows); }},
        {"ApSearchExecuteWithParams", false,
         [&] { return VTWIDWUS_ApSearchExecuteWithParams(instance_, &device_, 4, &param, 1); }},
        {"GetApSearchResultInfoList", true,
         [&] { return VTWIDWUS_GetApSearchResultInfoList(instance_, &device_, &count, &rows); }},
    };
    const std::function<void()> throws[] = {[] { throw std::bad_alloc(); },
                                            [] { throw std::runtime_error("library"); }};
    for (const auto& thrower : throws) {
        for (const Case& c : cases) {
            fake_.onComm = [&](const FakePacket&) { thrower(); };
            count = 5;
            rows = reinterpret_cast<tagUsbSnmpApSearchResultInfo*>(&count);
            EXPECT_EQ(c.call(), VTWIDWUS_ERROR_CODE_FAILED) << c.name;
            fake_.onComm = nullptr;
            if (c.list) {
                EXPECT_EQ(count, 0) << c.name;
                EXPECT_EQ(rows, nullptr) << c.name;
            }
            EXPECT_EQ(ReadFromAnotherThread(), 0) << c.name;
        }
    }

    // The search holds both locks; a cancel afterwards gets the cancel lock. The second
    // printer's serial read throws: the failed search keeps no device, the first one neither.
    fake_.models = {"Model G", "Model H"};
    int serialReads = 0;
    fake_.onComm = [&serialReads](const FakePacket&) {
        if (++serialReads == 2) {
            throw std::runtime_error("library");
        }
    };
    int found = 3;
    tagUsbDevice* list = &device_;
    EXPECT_EQ(VTWIDWUS_Search(instance_, &found, &list), VTWIDWUS_ERROR_CODE_FAILED);
    EXPECT_EQ(found, 0);
    EXPECT_EQ(list, nullptr);
    fake_.onComm = nullptr;
    auto cancel =
        std::async(std::launch::async, [this] { return VTWIDWUS_Cancel(instance_, &device_, 1); });
    ASSERT_EQ(cancel.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(cancel.get(), VTWIDWUS_ERROR_CODE_PARAM) << "the failed search left no device";
    ASSERT_EQ(VTWIDWUS_Search(instance_, &found, &list), 0);
    ASSERT_EQ(found, 2);
}

TEST_F(ExportsGuardTest, ASetThatEndedInAnExceptionIsSentAgain) {
    Set(".1.3.2.100.10.3.0", TextValue(kArc + ".1.3.2.100.10.3.0", "home"));
    Set(".1.3.2.100.10.5.0", IntegerValue(kArc + ".1.3.2.100.10.5.0", 6));
    tagUsbSnmpInfraInfo infra{};
    ASSERT_EQ(VTWIDWUS_GetInfo(instance_, &device_, 3, &infra), 0);
    std::strcpy(infra.ssid_, "office");

    fake_.onComm = [](const FakePacket& request) {
        if (request.command == VTWIDUS_COMMAND_SET) {
            throw std::bad_alloc();
        }
    };
    EXPECT_EQ(VTWIDWUS_SetInfo(instance_, &device_, 3, &infra), VTWIDWUS_ERROR_CODE_FAILED);
    fake_.onComm = nullptr;
    fake_.requests.clear();
    ASSERT_EQ(VTWIDWUS_SetInfo(instance_, &device_, 3, &infra), 0);
    ASSERT_EQ(fake_.requests.size(), 1u);
    ASSERT_EQ(fake_.requests[0].varbinds.size(), 2u);
    EXPECT_EQ(fake_.requests[0].varbinds[0].oid, kArc + ".1.3.2.100.10.3.0")
        << "the name that the printer never took is sent again";
}

TEST_F(ExportsGuardTest, CallerTextWithoutATerminatorIsReadNoFurtherThanItsField) {
    tagUsbDevice unterminated;
    std::memset(unterminated.modelName_, 'm', sizeof unterminated.modelName_);
    std::memset(unterminated.serialNumber_, 's', sizeof unterminated.serialNumber_);
    tagUsbSnmpStateInfo state{};
    EXPECT_EQ(VTWIDWUS_GetInfo(instance_, &unterminated, 1, &state), VTWIDWUS_ERROR_CODE_PARAM);
    const std::string texts =
        "modelName_:" + std::string(256, 'm') + " serialNumber_:" + std::string(65, 's');
    EXPECT_TRUE(traces_.Contains(0, "VTWIDWUS_GetInfo:device:" + texts));
    EXPECT_TRUE(traces_.Contains(3, "GetInfo:param device:" + texts));

    // A network name is read no further than a name can be, plus one.
    const std::string longName(40, 'n');
    int count = 0;
    tagUsbSnmpApSearchResultInfo* rows = nullptr;
    EXPECT_EQ(VTWIDWUS_ApSearch(instance_, &unterminated, longName.c_str(), &count, &rows),
              VTWIDWUS_ERROR_CODE_PARAM);
    EXPECT_TRUE(traces_.Contains(0, "VTWIDWUS_ApSearch:device:ssid:" + std::string(33, 'n')));

    tagUsbSnmpApSearchExecuteParamInfo param;
    std::memset(&param, 'p', sizeof param);
    EXPECT_EQ(VTWIDWUS_ApSearchExecuteWithParams(instance_, &unterminated, 0, &param, 0),
              VTWIDWUS_ERROR_CODE_PARAM);
    EXPECT_TRUE(traces_.Contains(0, "VTWIDWUS_ApSearchExecuteWithParams:paramInfo:"
                                    "dot11APSearchExecuteParamSsid_:" +
                                        std::string(33, 'p')));
    EXPECT_TRUE(traces_.Contains(0, "VTWIDWUS_ApSearchExecuteWithParams:paramInfo:"
                                    "dot11APSearchExecuteParamBssid_:" +
                                        std::string(13, 'p')));
}

} // namespace
} // namespace vtwidwus::test
