// vtwidwus.dll itself under Wine with the simulated USB printers: argument checks, traces,
// cancel from another thread and the locks after failures. (Paths with fixed waits are tested
// in-process with a fake clock.)
#include "sim_bindings.h"

#include <vtwidus/vtwidus_api.h>
#include "wus_dll.h"

#include <chrono>
#include <cstring>
#include <future>
#include <thread>
#include <utility>
#include <vector>

namespace vtwidwus::test {
namespace {

class DllTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim_.Load();
        traces_.Load();
        wus_.Load();
        instance_ = wus_.CreateInstance();
        ASSERT_NE(instance_, nullptr);
    }
    void TearDown() override {
        sim_.ReleaseBlocked();
        wus_.DestroyInstance(instance_);
    }
    tagUsbDevice One() {
        printer_ = sim_.AddPrinter("VT Model 7", "SN-7");
        int count = 0;
        tagUsbDevice* list = nullptr;
        EXPECT_EQ(wus_.Search(instance_, &count, &list), 0);
        EXPECT_EQ(count, 1);
        return count == 1 ? list[0] : tagUsbDevice{};
    }

    SimBus sim_;
    TraceRecords traces_;
    WusDll wus_;
    VTWIDWUS_INSTANCE instance_ = nullptr;
    int printer_ = -1;
};

TEST_F(DllTest, EnumeratesNoneOneSeveralAndDuplicateSerials) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> printers; // added before the search
        std::vector<const char*> serials;                          // listed, in order
    } cases[] = {
        {"none", {}, {}},
        {"one", {{"VT One", "SN-1"}}, {"SN-1"}},
        {"several, one serial twice",
         {{"VT Two", "SN-2"}, {"VT Three", "SN-1"}},
         {"SN-1", "SN-2", "SN-1"}},
    };
    for (const Case& c : cases) {
        for (const auto& [model, serial] : c.printers) {
            sim_.AddPrinter(model, serial);
        }
        int count = -1;
        tagUsbDevice* list = nullptr;
        ASSERT_EQ(wus_.Search(instance_, &count, &list), 0) << c.name;
        ASSERT_EQ(count, static_cast<int>(c.serials.size())) << c.name;
        EXPECT_EQ(list == nullptr, c.serials.empty()) << c.name;
        for (std::size_t i = 0; i < c.serials.size(); ++i) {
            EXPECT_STREQ(list[i].serialNumber_, c.serials[i]) << c.name << " #" << i;
        }
    }
    // A duplicate serial names the first printer that has it: only that one gets the time-out.
    int count = 0;
    tagUsbDevice* list = nullptr;
    ASSERT_EQ(wus_.Search(instance_, &count, &list), 0);
    ASSERT_EQ(count, 3);
    ASSERT_EQ(wus_.SetTimeout(instance_, 1, 2500), 0);
    tagUsbSnmpStateInfo state{};
    ASSERT_EQ(wus_.GetInfo(instance_, &list[2], 1, &state), 0);
    EXPECT_EQ(sim_.GetLastUsbTimeout(0), 2500);
    EXPECT_EQ(sim_.GetLastUsbTimeout(2), 1000);
}

TEST_F(DllTest, EveryExportChecksItsArguments) {
    const tagUsbDevice device = One();
    tagUsbDevice unknown{};
    std::strcpy(unknown.serialNumber_, "SN-8");
    int count = 0;
    tagUsbDevice* devices = nullptr;
    tagUsbSnmpApSearchResultInfo* rows = nullptr;
    tagUsbSnmpStateInfo state{};
    tagUsbSnmpApSearchExecuteParamInfo param{};
    VTWIDWUS_INSTANCE i = instance_;
    const tagUsbDevice* d = &device;
    struct Case {
        const char* name;
        std::function<int()> call;
    } cases[] = {
        {"Search instance", [&] { return wus_.Search(nullptr, &count, &devices); }},
        {"Search count", [&] { return wus_.Search(i, nullptr, &devices); }},
        {"Search list", [&] { return wus_.Search(i, &count, nullptr); }},
        {"SetTimeout instance", [&] { return wus_.SetTimeout(nullptr, 1, 10); }},
        {"SetTimeout setting", [&] { return wus_.SetTimeout(i, 3, 10); }},
        {"GetInfo instance", [&] { return wus_.GetInfo(nullptr, d, 1, &state); }},
        {"GetInfo device", [&] { return wus_.GetInfo(i, nullptr, 1, &state); }},
        {"GetInfo out", [&] { return wus_.GetInfo(i, d, 1, nullptr); }},
        {"GetInfo unknown serial", [&] { return wus_.GetInfo(i, &unknown, 1, &state); }},
        {"SetInfo instance", [&] { return wus_.SetInfo(nullptr, d, 1, &state); }},
        {"SetInfo device", [&] { return wus_.SetInfo(i, nullptr, 1, &state); }},
        {"SetInfo in", [&] { return wus_.SetInfo(i, d, 1, nullptr); }},
        {"SetInfo unknown serial", [&] { return wus_.SetInfo(i, &unknown, 1, &state); }},
        {"Wait instance",
         [&] { return wus_.SetInfoAndWaitChangeDot11Mode(nullptr, d, 1, &state); }},
        {"Wait device", [&] { return wus_.SetInfoAndWaitChangeDot11Mode(i, nullptr, 1, &state); }},
        {"Wait in", [&] { return wus_.SetInfoAndWaitChangeDot11Mode(i, d, 1, nullptr); }},
        {"Wait type", [&] { return wus_.SetInfoAndWaitChangeDot11Mode(i, d, 2, &state); }},
        {"Wait unknown serial",
         [&] { return wus_.SetInfoAndWaitChangeDot11Mode(i, &unknown, 1, &state); }},
        {"ApSearch instance", [&] { return wus_.ApSearch(nullptr, d, nullptr, &count, &rows); }},
        {"ApSearch device", [&] { return wus_.ApSearch(i, nullptr, nullptr, &count, &rows); }},
        {"ApSearch count", [&] { return wus_.ApSearch(i, d, nullptr, nullptr, &rows); }},
        {"ApSearch list", [&] { return wus_.ApSearch(i, d, nullptr, &count, nullptr); }},
        {"ApSearch unknown serial", [&] { return wus_.ApSearch(i, &unknown, "x", &count, &rows); }},
        {"AndWait instance",
         [&] { return wus_.ApSearchAndWait(nullptr, d, nullptr, &count, &rows); }},
        {"AndWait list", [&] { return wus_.ApSearchAndWait(i, d, nullptr, &count, nullptr); }},
        {"Params instance",
         [&] { return wus_.ApSearchExecuteWithParams(nullptr, d, 0, &param, 0); }},
        {"Params device", [&] { return wus_.ApSearchExecuteWithParams(i, nullptr, 0, &param, 0); }},
        {"Params info", [&] { return wus_.ApSearchExecuteWithParams(i, d, 0, nullptr, 0); }},
        {"Params unknown serial",
         [&] { return wus_.ApSearchExecuteWithParams(i, &unknown, 0, &param, 0); }},
        {"List instance",
         [&] { return wus_.GetApSearchResultInfoList(nullptr, d, &count, &rows); }},
        {"List device", [&] { return wus_.GetApSearchResultInfoList(i, nullptr, &count, &rows); }},
        {"List count", [&] { return wus_.GetApSearchResultInfoList(i, d, nullptr, &rows); }},
        {"List list", [&] { return wus_.GetApSearchResultInfoList(i, d, &count, nullptr); }},
        {"List unknown serial",
         [&] { return wus_.GetApSearchResultInfoList(i, &unknown, &count, &rows); }},
        {"Cancel instance", [&] { return wus_.Cancel(nullptr, d, 1); }},
        {"Cancel device", [&] { return wus_.Cancel(i, nullptr, 1); }},
        {"Cancel setting", [&] { return wus_.Cancel(i, d, 0); }},
        {"Cancel unknown serial", [&] { return wus_.Cancel(i, &unknown, 1); }},
    };
    const int exchanges = sim_.GetCallCount(VTWIDUSSIM_ENTRY_Comm);
    for (const Case& c : cases) {
        EXPECT_EQ(c.call(), -2) << c.name;
    }
    EXPECT_EQ(sim_.GetCallCount(VTWIDUSSIM_ENTRY_Comm), exchanges) << "nothing was sent";
    wus_.DestroyInstance(nullptr);
    EXPECT_TRUE(traces_.HasText(2, "VTWIDWUS_DestroyInstance:param instance:0"));
    EXPECT_EQ(wus_.Cancel(i, d, 1), 0);
}

TEST_F(DllTest, TracesEntryExitArgumentsAndRows) {
    const tagUsbDevice device = One();
    tagUsbSnmpStateInfo state{};
    ASSERT_EQ(wus_.GetInfo(instance_, &device, 1, &state), 0);
    int count = 0;
    tagUsbDevice* list = nullptr;
    EXPECT_EQ(wus_.Search(nullptr, &count, &list), -2);

    EXPECT_EQ(traces_.CountFormat(0, "VTWIDWUS_CreateInstance:in"), 1);
    EXPECT_EQ(traces_.CountFormat(0, "VTWIDWUS_CreateInstance:out:%lu"), 1);
    EXPECT_EQ(traces_.CountFormat(0, "VTWIDWUS_Search:Search() oCount:%d oInfoList:%lu"), 1);
    EXPECT_TRUE(traces_.HasText(
        0,
        "VTWIDWUS_Search:oInfoList tagUsbDevice:index:0 modelName_:VT Model 7 serialNumber_:SN-7"));
    EXPECT_TRUE(
        traces_.HasText(0, "VTWIDWUS_GetInfo:device:modelName_:VT Model 7 serialNumber_:SN-7"));
    EXPECT_EQ(
        traces_.CountFormat(0, "VTWIDWUS_GetInfo:in instance:%lu device:%lu infoType:%d oInfo:%lu"),
        1);
    EXPECT_TRUE(traces_.HasText(0, "VTWIDWUS_GetInfo:out:0"));
    // A failed null check repeats the entry text at its level, then the exit.
    EXPECT_EQ(traces_.CountFormat(3, "VTWIDWUS_Search:in instance:%lu oCount:%lu oInfoList:%lu"),
              1);
    EXPECT_TRUE(traces_.HasText(0, "VTWIDWUS_Search:out:-2"));
    EXPECT_TRUE(traces_.HasText(0, "VTWIDWUS_Search:out:0"));
}

TEST_F(DllTest, ACancelFromAnotherThreadStopsTheOperationThatHoldsTheDevice) {
    const tagUsbDevice device = One();
    // The exchange waits in the printer, then reports a connection error, so the retry loop
    // looks at the cancel request.
    sim_.Fault(VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_BLOCK, VTWIDUS_ERROR_CODE_CONNECTION);
    auto operation = std::async(std::launch::async, [&] {
        tagUsbSnmpStateInfo state{};
        return wus_.GetInfo(instance_, &device, 1, &state);
    });
    ASSERT_EQ(sim_.WaitForBlocked(1, 10000), 1);
    // The cancel takes only the cancel lock: it returns while the operation holds the device.
    auto cancel =
        std::async(std::launch::async, [&] { return wus_.Cancel(instance_, &device, 1); });
    ASSERT_EQ(cancel.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(cancel.get(), 0);
    sim_.ReleaseBlocked();
    ASSERT_EQ(operation.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(operation.get(), -1);
    EXPECT_TRUE(traces_.HasText(2, "GetInfo:cancel"));

    // The next operation clears the request and works.
    tagUsbSnmpStateInfo state{};
    EXPECT_EQ(wus_.GetInfo(instance_, &device, 1, &state), 0);
}

TEST_F(DllTest, LocksAreReleasedAfterFailures) {
    const tagUsbDevice device = One();
    sim_.Fault(VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_RETURN, VTWIDUS_ERROR_CODE_DEVICE, 3);
    tagUsbSnmpStateInfo state{};
    tagUsbSnmpInfraInfo infra{};
    EXPECT_EQ(wus_.GetInfo(instance_, &device, 1, &state), -5);
    EXPECT_EQ(wus_.SetInfo(instance_, &device, 3, &infra), -5);
    int count = 0;
    tagUsbSnmpApSearchResultInfo* rows = nullptr;
    EXPECT_EQ(wus_.GetApSearchResultInfoList(instance_, &device, &count, &rows), -5);
    EXPECT_EQ(wus_.GetInfo(instance_, &device, 42, &state), -3);

    // Another thread gets both locks at once.
    auto other = std::async(std::launch::async, [&] {
        int n = 0;
        tagUsbDevice* list = nullptr;
        const int searched = wus_.Search(instance_, &n, &list);
        return searched == 0 && n == 1 ? wus_.GetInfo(instance_, list, 1, &state) : -100;
    });
    ASSERT_EQ(other.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(other.get(), 0);
    EXPECT_EQ(wus_.Cancel(instance_, &device, 1), 0);
}

} // namespace
} // namespace vtwidwus::test
