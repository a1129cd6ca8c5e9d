#include "qelinfo/service_kind.h"

#include <gtest/gtest.h>

#include <string>

#include "qelcmn/constants.h"
#include "qelinfo/ApplicationInfo.h"

namespace {

struct Case {
    bool qel;
    bool agreementKnown;
    const wchar_t* region;
    const wchar_t* area;
    unsigned char type;
    int mode;
    const wchar_t* expected;
};

std::string Describe(const Case& c) {
    return testing::PrintToString(c.region) + " area " + testing::PrintToString(c.area) + " qel " +
           std::to_string(c.qel) + " agreement " + std::to_string(c.agreementKnown) + " type " +
           std::to_string(c.type) + " mode " + std::to_string(c.mode);
}

TEST(ServiceKind, ChosenByRegionAreaPrinterAndLaunchMode) {
    const Case cases[] = {
        // No region: always automatic.
        {true, true, L"", L"DE", 1, 4, L"auto"},
        {false, false, L"", L"", 0, 0, L"auto"},
        // Region 1: the qel service decides, the area does not matter.
        {true, false, L"1", L"", 1, 0, L"serviceA"},
        {true, false, L"1", L"", 2, 0, L"serviceY"},
        {true, false, L"1", L"", 0, 0, L"serviceY"},
        {true, false, L"1", L"US", 1, 4, L"serviceA"},
        {false, true, L"1", L"", 1, 0, L"auto"},
        // Regions 4 and C outside Europe, started by a tool: automatic.
        {true, false, L"4", L"US", 1, 4, L"auto"},
        {false, true, L"4", L"US", 0, 4, L"auto"},
        {true, false, L"4", L"US", 1, 1, L"auto"},
        {true, false, L"4", L"US", 1, 2, L"auto"},
        {true, true, L"C", L"JP", 1, 2, L"auto"},
        {true, false, L"4", L"de", 2, 4, L"auto"}, // codes are compared exactly
        // ... but the set-up start and other installer starts do not look at the area.
        {true, false, L"4", L"US", 1, 0, L"serviceA"},
        {true, false, L"4", L"US", 2, 3, L"serviceY"},
        {false, true, L"C", L"US", 0, 3, L"serviceX"},
        // In Europe or without an area.
        {true, false, L"4", L"DE", 2, 4, L"serviceY"},
        {true, false, L"4", L"DE", 1, 4, L"serviceA"},
        {false, true, L"4", L"DE", 0, 4, L"serviceX"},
        {false, false, L"4", L"DE", 0, 4, L"auto"},
        {true, false, L"4", L"", 2, 4, L"serviceY"},
        {false, true, L"C", L"GB", 0, 1, L"serviceX"},
        {true, true, L"C", L"LT", 1, 2, L"serviceA"},
        // Region 3.
        {true, true, L"3", L"", 1, 0, L"serviceX"},
        {true, false, L"3", L"", 2, 0, L"serviceY"},
        {true, false, L"3", L"", 1, 0, L"auto"},
        {false, true, L"3", L"", 0, 0, L"serviceX"},
        {false, false, L"3", L"US", 2, 4, L"auto"},
        {true, true, L"3", L"US", 2, 4, L"serviceY"},
        // Other codes.
        {true, true, L"2", L"", 1, 0, L"auto"},
        {true, true, L"c", L"", 1, 0, L"auto"},
        {true, true, L"41", L"", 1, 0, L"auto"},
    };
    for (const auto& c : cases) {
        const qelinfo::ServiceKindInput input{c.qel,  c.agreementKnown, c.region,
                                              c.area, c.type,           c.mode};
        EXPECT_EQ(qelinfo::ChooseServiceKind(input), c.expected) << Describe(c);

        // The application facts make the same choice and keep it.
        qelinfo::ApplicationInfo facts;
        facts.SetLaunchContext(c.qel, c.agreementKnown, L"", L"", L"EN", L"", c.area, c.region,
                               c.type, c.mode);
        EXPECT_EQ(facts.GetServiceKind(), c.expected) << Describe(c);
    }
}

TEST(ServiceKind, EveryEuropeanAreaKeepsTheServiceFromTheLauncher) {
    ASSERT_EQ(qelcmn::EuropeanCountryCodes.size(), 23u);
    for (const auto& area : qelcmn::EuropeanCountryCodes) {
        const qelinfo::ServiceKindInput input{true, false, L"4", area, 2, 4};
        EXPECT_EQ(qelinfo::ChooseServiceKind(input), L"serviceY") << testing::PrintToString(area);
    }
    for (const wchar_t* area : {L"US", L"JP", L"RU", L"TR", L"AU", L"GR"}) {
        const qelinfo::ServiceKindInput input{true, false, L"4", area, 2, 4};
        EXPECT_EQ(qelinfo::ChooseServiceKind(input), L"auto") << testing::PrintToString(area);
    }
}

} // namespace
