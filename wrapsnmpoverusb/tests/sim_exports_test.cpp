// The exports against the simulated USB printers of the stand-in packet library, in this
// process with a fake clock, so that the fixed waits take no time.
#include "fake_vtwidus.h"
#include "sim_bindings.h"

#include <iwrapsnmpoverusb/iwrapsnmpoverusb.h>

#include <cstring>

namespace vtwidwus::test {
namespace {

class SimExportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim_.Load();
        instance_ = VTWIDWUS_CreateInstance();
        ASSERT_NE(instance_, nullptr);
    }
    void TearDown() override {
        VTWIDWUS_DestroyInstance(instance_);
        EXPECT_EQ(sim_.GetLiveUsbInstances(), 0);
        EXPECT_EQ(sim_.GetLivePackets(), 0);
    }
    // Searches and returns the listed printers.
    std::vector<tagUsbDevice> Search(int expected) {
        int count = -1;
        tagUsbDevice* list = nullptr;
        EXPECT_EQ(VTWIDWUS_Search(instance_, &count, &list), 0);
        EXPECT_EQ(count, expected);
        return list == nullptr ? std::vector<tagUsbDevice>()
                               : std::vector<tagUsbDevice>(list, list + count);
    }
    tagUsbDevice One() {
        printer_ = sim_.AddPrinter("VT Model 100", "SN-100");
        const auto list = Search(1);
        return list.empty() ? tagUsbDevice{} : list[0];
    }

    SimBus sim_;
    FakeConvert clock_;
    VTWIDWUS_INSTANCE instance_ = nullptr;
    int printer_ = -1;
};

TEST_F(SimExportsTest, EnumeratesThePrintersThatAnswer) {
    EXPECT_TRUE(Search(0).empty());

    sim_.AddPrinter("VT A", "SN-A");
    sim_.AddPrinter("VT B", "SN-B");
    sim_.AddPrinter("VT C", "SN-A"); // same serial as the first
    auto list = Search(3);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_STREQ(list[0].modelName_, "VT A");
    EXPECT_STREQ(list[1].serialNumber_, "SN-B");
    EXPECT_STREQ(list[2].modelName_, "VT C");
    EXPECT_EQ(sim_.GetLastUsbTimeout(0), 1000);

    // Duplicate serials name the first printer.
    ASSERT_EQ(VTWIDWUS_SetTimeout(instance_, 1, 2000), 0);
    tagUsbSnmpStateInfo state{};
    ASSERT_EQ(VTWIDWUS_GetInfo(instance_, &list[2], 1, &state), 0);
    EXPECT_EQ(sim_.GetLastUsbTimeout(0), 2000);
    EXPECT_EQ(sim_.GetLastUsbTimeout(2), 1000);

    // A printer that does not answer its serial read is left out.
    sim_.Fault(VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_RETURN, VTWIDUS_ERROR_CODE_DEVICE, 1, 1);
    list = Search(2);
    EXPECT_STREQ(list[1].modelName_, "VT C");

    // A search that fails, and one whose list is missing.
    sim_.Fault(VTWIDUSSIM_ENTRY_Search, VTWIDUSSIM_ACTION_RETURN, VTWIDUS_ERROR_CODE_DISCONNECTED);
    int count = 9;
    tagUsbDevice* rows = list.data();
    EXPECT_EQ(VTWIDWUS_Search(instance_, &count, &rows), -10);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(rows, nullptr);
    sim_.Fault(VTWIDUSSIM_ENTRY_Search, VTWIDUSSIM_ACTION_COUNT_WITHOUT_LIST, 2);
    EXPECT_EQ(VTWIDWUS_Search(instance_, &count, &rows), -3);
    EXPECT_EQ(VTWIDWUS_GetInfo(instance_, &list[0], 1, &state), -2) << "devices are gone";
}

TEST_F(SimExportsTest, ReadsAndWritesEverySettingsGroup) {
    const tagUsbDevice device = One();

    tagUsbSnmpWiredInfo wired{};
    ASSERT_EQ(VTWIDWUS_GetInfo(instance_, &device, 2, &wired), 0);
    EXPECT_STREQ(wired.ipv4Address_, "192.168.1.20");
    EXPECT_STREQ(wired.ipv6Address_, "fe80::1");
    EXPECT_EQ(wired.ipv6PrefixLength_, 64);
    std::strcpy(wired.ipv4Address_, "10.1.2.3");
    wired.ipv4AddressMethod_ = 2;
    ASSERT_EQ(VTWIDWUS_SetInfo(instance_, &device, 2, &wired), 0);
    EXPECT_EQ(sim_.Text(printer_, ".1.3.3.1.100.10.1.4.2"), "10.1.2.3");
    EXPECT_EQ(sim_.Int(printer_, ".1.3.3.1.100.10.1.3.2"), 2);

    tagUsbSnmpInfraInfo infra{};
    ASSERT_EQ(VTWIDWUS_GetInfo(instance_, &device, 3, &infra), 0);
    EXPECT_EQ(infra.band_, 6);
    std::strcpy(infra.ssid_, "home-net");
    std::strcpy(infra.networkKey_, "passphrase1");
    infra.authentication_ = 7;
    infra.encryption_ = 4;
    infra.channel_ = 11;
    ASSERT_EQ(VTWIDWUS_SetInfo(instance_, &device, 3, &infra), 0);
    EXPECT_EQ(sim_.Text(printer_, ".1.3.2.100.10.3.0"), "home-net");
    EXPECT_EQ(sim_.Text(printer_, ".1.3.2.100.10.110.0"), "passphrase1");
    EXPECT_EQ(sim_.Int(printer_, ".1.3.2.100.10.6.0"), 10);
    EXPECT_EQ(sim_.Int(printer_, ".1.3.2.100.10.5.0"), 11);

    tagUsbSnmpDirectInfo direct{};
    ASSERT_EQ(VTWIDWUS_GetInfo(instance_, &device, 4, &direct), 0);
    EXPECT_STREQ(direct.directSsid_, "DIRECT-SN-100");
    EXPECT_EQ(direct.directAuthentication_, 10);

    tagUsbSnmpUserInfoStringInfo user{};
    ASSERT_EQ(VTWIDWUS_GetInfo(instance_, &device, 5, &user), 0);
    std::strcpy(user.userInfoString1_, "front desk");
    ASSERT_EQ(VTWIDWUS_SetInfo(instance_, &device, 5, &user), 0);
    EXPECT_EQ(sim_.Text(printer_, ".1.2.2.4.0"), "front desk");

    tagUsbSnmpStateInfo state{};
    ASSERT_EQ(VTWIDWUS_GetInfo(instance_, &device, 1, &state), 0);
    EXPECT_EQ(state.dot11Mode_, 1);
    state.networkSelect_ = 3;
    ASSERT_EQ(VTWIDWUS_SetInfo(instance_, &device, 1, &state), 0);
    EXPECT_EQ(sim_.Int(printer_, ".1.3.1.11.0"), 3);

    tagUsbSnmpInfraSupportAuthInfo auth{};
    ASSERT_EQ(VTWIDWUS_GetInfo(instance_, &device, 6, &auth), 0);
    EXPECT_EQ(auth.supportAuthentication_, 0x0FFF);
    EXPECT_EQ(VTWIDWUS_SetInfo(instance_, &device, 6, &auth), -3);
    EXPECT_EQ(VTWIDWUS_GetInfo(instance_, &device, 9, &auth), -3);
}

TEST_F(SimExportsTest, PacketLibraryFailuresAsResultCodes) {
    const tagUsbDevice device = One();
    struct Case {
        const char* name;
        int entry;
        int action;
        int value;
        int times;
        int result;
        std::uint64_t slept;
    } cases[] = {
        {"busy, then answered", VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_RETURN, -12, 5, 0, 10000},
        {"busy", VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_RETURN, -12, 6, -10, 10000},
        {"slow discovery", VTWIDUSSIM_ENTRY_DiscoveryV3, VTWIDUSSIM_ACTION_DELAY, 1500, 2, -6,
         4000},
        {"no content", VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_RETURN, -14, 2, -11, 0},
        {"error status", VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_ERROR_STATUS, 5, 1, -8, 0},
        {"no such objects", VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_OMIT_VARBIND, 0, 1, -8, 0},
        {"unmapped", VTWIDUSSIM_ENTRY_Comm, VTWIDUSSIM_ACTION_RETURN, -10, 1, -3, 0},
    };
    for (const Case& c : cases) {
        sim_.ClearFaults();
        clock_.sleeps.clear();
        sim_.Fault(c.entry, c.action, c.value, c.times);
        tagUsbSnmpStateInfo state{};
        EXPECT_EQ(VTWIDWUS_GetInfo(instance_, &device, 1, &state), c.result) << c.name;
        EXPECT_EQ(clock_.Slept(), c.slept) << c.name;
    }
}

TEST_F(SimExportsTest, SetAndWaitForTheModeChange) {
    const tagUsbDevice device = One();
    tagUsbSnmpInfraInfo infra{};
    ASSERT_EQ(VTWIDWUS_GetInfo(instance_, &device, 3, &infra), 0);
    sim_.SetBehaviour(printer_, VTWIDUSSIM_BEHAVIOUR_MODE_CHANGE_POLLS, 2);
    infra.dot11Mode_ = 4;
    EXPECT_EQ(VTWIDWUS_SetInfoAndWaitChangeDot11Mode(instance_, &device, 3, &infra), 0);
    EXPECT_EQ(clock_.Slept(), 4000u);

    sim_.SetBehaviour(printer_, VTWIDUSSIM_BEHAVIOUR_MODE_CHANGE_POLLS, -1);
    infra.dot11Mode_ = 8;
    EXPECT_EQ(VTWIDWUS_SetInfoAndWaitChangeDot11Mode(instance_, &device, 3, &infra), -12);
    EXPECT_EQ(VTWIDWUS_SetInfoAndWaitChangeDot11Mode(instance_, &device, 2, &infra), -2);
}

// What the printer access library does to find the networks a printer sees.
int SearchLikeTheCaller(VTWIDWUS_INSTANCE instance, const tagUsbDevice& device, int& count,
                        tagUsbSnmpApSearchResultInfo*& rows, int& firstResult) {
    tagUsbSnmpInfraInfo infra{};
    if (VTWIDWUS_GetInfo(instance, &device, 3, &infra) != 0) {
        return -1;
    }
    int flags = 0;
    if ((infra.band_ & 2) != 0) {
        flags |= 4;
    }
    if ((infra.band_ & 4) != 0) {
        flags |= 16;
    }
    tagUsbSnmpApSearchExecuteParamInfo param{};
    int r = VTWIDWUS_ApSearchExecuteWithParams(instance, &device, flags, &param, 1);
    firstResult = r;
    if (r == -14) {
        param.dot11APSearchExecuteParamdot11Mode = 4;
        r = VTWIDWUS_ApSearchExecuteWithParams(instance, &device, flags, &param, 1);
    }
    if (r == 0) {
        return VTWIDWUS_GetApSearchResultInfoList(instance, &device, &count, &rows);
    }
    if (r == -13) {
        return VTWIDWUS_ApSearchAndWait(instance, &device, nullptr, &count, &rows);
    }
    return r;
}

TEST_F(SimExportsTest, AccessPointSearchAsThePrinterAccessLibraryRunsIt) {
    const tagUsbDevice device = One();
    for (int i = 0; i < 7; ++i) {
        const std::string name = "net-" + std::to_string(i);
        const VTWIDUSSIM_AccessPoint ap = AccessPoint(name.c_str(), 6 + (i % 6), 40 + i);
        sim_.AddAccessPoint(printer_, &ap);
    }
    struct Case {
        const char* name;
        void (*prepare)(SimBus&, int printer);
        int firstResult;
        const char* lastSearch;
    } cases[] = {
        {"supported", [](SimBus&, int) {}, 0, "params:<bgch-8:00000000><ach-8:00000000>"},
        {"only with index 4",
         [](SimBus& s, int p) {
             s.ClearSupport(p);
             s.SetSupport(p, 4, -1, 1);
         },
         -14, "params:<bgch-8:00000000><ach-8:00000000>"},
        {"not supported",
         [](SimBus& s, int p) {
             s.ClearSupport(p);
             s.SetSupport(p, 1, -1, 0);
         },
         -13, "plain"},
        {"old printer", [](SimBus& s, int p) { s.SetText(p, ".1.3.2.100.100.9.0", "0.50"); }, -13,
         "plain"},
    };
    for (const Case& c : cases) {
        c.prepare(sim_, printer_);
        clock_.sleeps.clear();
        int count = -1;
        tagUsbSnmpApSearchResultInfo* rows = nullptr;
        int first = 1;
        ASSERT_EQ(SearchLikeTheCaller(instance_, device, count, rows, first), 0) << c.name;
        EXPECT_EQ(first, c.firstResult) << c.name;
        EXPECT_EQ(sim_.LastApSearch(printer_), c.lastSearch) << c.name;
        ASSERT_EQ(count, 7) << c.name;
        EXPECT_STREQ(rows[6].dot11APSearchResultSsid_, "net-6") << c.name;
        EXPECT_STREQ(rows[6].dot11APSearchResultBssid_, "001ba9102030") << c.name;
        EXPECT_EQ(rows[6].dot11APSearchResultSignalLevel_, 46) << c.name;
        EXPECT_EQ(clock_.Slept(), 15000u) << c.name << ": one settle wait";
    }
}

TEST_F(SimExportsTest, NamedAndPlainSearches) {
    const tagUsbDevice device = One();
    for (const char* name : {"alpha", "beta", "alpha"}) {
        const VTWIDUSSIM_AccessPoint ap = AccessPoint(name, 7, 50);
        sim_.AddAccessPoint(printer_, &ap);
    }
    int count = -1;
    tagUsbSnmpApSearchResultInfo* rows = nullptr;
    ASSERT_EQ(VTWIDWUS_ApSearch(instance_, &device, "alpha", &count, &rows), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(sim_.LastApSearch(printer_), "ssid:alpha");
    EXPECT_EQ(clock_.Slept(), 0u);

    ASSERT_EQ(VTWIDWUS_ApSearch(instance_, &device, "gamma", &count, &rows), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(rows, nullptr);

    // A printer that never finishes.
    sim_.SetBehaviour(printer_, VTWIDUSSIM_BEHAVIOUR_APSEARCH_POLLS, 1000000);
    clock_.sleeps.clear();
    EXPECT_EQ(VTWIDWUS_ApSearch(instance_, &device, nullptr, &count, &rows), -9);
    EXPECT_GE(clock_.Slept(), 35000u);
    ASSERT_EQ(VTWIDWUS_SetTimeout(instance_, 2, 5000), 0);
    clock_.sleeps.clear();
    EXPECT_EQ(VTWIDWUS_ApSearch(instance_, &device, nullptr, &count, &rows), -9);
    EXPECT_LT(clock_.Slept(), 7000u);
}

} // namespace
} // namespace vtwidwus::test
