#include "fault_plan.h"

#include <gtest/gtest.h>

namespace vtwidussim {
namespace {

constexpr int kComm = 25;
constexpr int kDiscovery = 27;

Fault MakeFault(int entry, int skip, int times, FaultAction action, int value) {
    Fault f;
    f.entry = entry;
    f.skip = skip;
    f.times = times;
    f.action = action;
    f.value = value;
    return f;
}

TEST(FaultPlan, SkipThenFireTheGivenNumberOfTimes) {
    FaultPlan plan;
    const int id = plan.Add(MakeFault(kComm, 2, 2, FaultAction::Return, -11));
    const CallSite site{kComm, -1, 0, nullptr};
    std::vector<std::size_t> fired;
    for (int i = 0; i < 6; ++i) {
        fired.push_back(plan.Fire(site).size());
    }
    EXPECT_EQ(fired, (std::vector<std::size_t>{0, 0, 1, 1, 0, 0}));
    EXPECT_EQ(plan.Hits(id), 2);
    EXPECT_EQ(plan.Hits(id + 1), -1);
}

TEST(FaultPlan, FiltersByEntryPrinterCommandAndOid) {
    FaultPlan plan;
    Fault f = MakeFault(kComm, 0, -1, FaultAction::Return, 0);
    f.printer = 1;
    f.oid = "1.3.6.1.4.1.58217.1.3.2";
    f.command = 0xA0;
    plan.Add(f);
    const std::vector<std::string> under{"1.3.6.1.4.1.58217.1.3.2.100.2.0"};
    const std::vector<std::string> beside{"1.3.6.1.4.1.58217.1.3.20.1"};
    struct Case {
        CallSite site;
        bool fires;
    };
    const Case cases[] = {
        {{kComm, 1, 0xA0, &under}, true},   {{kComm, 0, 0xA0, &under}, false},
        {{kComm, 1, 0xA3, &under}, false},  {{kComm, 1, 0xA0, &beside}, false},
        {{kComm, 1, 0xA0, nullptr}, false}, {{kDiscovery, 1, 0xA0, &under}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plan.Fire(c.site).size(), c.fires ? 1u : 0u);
    }
}

TEST(FaultPlan, EveryMatchingFaultFiresInOrder) {
    FaultPlan plan;
    plan.Add(MakeFault(kComm, 0, 1, FaultAction::NoSuchObject, 0));
    plan.Add(MakeFault(kComm, 0, 1, FaultAction::Return, -12));
    const auto fired = plan.Fire({kComm, -1, 0, nullptr});
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_EQ(fired[0].action, FaultAction::NoSuchObject);
    EXPECT_EQ(fired[1].value, -12);
    EXPECT_TRUE(plan.Fire({kComm, -1, 0, nullptr}).empty()) << "each fired once";
}

} // namespace
} // namespace vtwidussim
