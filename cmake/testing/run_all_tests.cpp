#include "qeltest/run_all_tests.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace qeltest {

int RunAllTests() {
    const int result = RUN_ALL_TESTS();
    const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
    if (result == 0 && unit.test_to_run_count() == 0 && !GTEST_FLAG_GET(list_tests)) {
        std::printf("No test ran: the filter \"%s\" selects none of this program's %d tests.\n",
                    GTEST_FLAG_GET(filter).c_str(), unit.total_test_count());
        std::fflush(stdout);
        return 1;
    }
    return result;
}

} // namespace qeltest
