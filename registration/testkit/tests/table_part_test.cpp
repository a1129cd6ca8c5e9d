// A table split over ctest entries: every row runs in exactly one part, and a part that cannot
// be read fails instead of running everything or nothing.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "testkit/table_part.h"

namespace {

TEST(TablePart, OnlyKOfNWithKBelowNIsAPart) {
    const struct {
        const char* text;
        bool read;
        std::size_t index = 0;
        std::size_t count = 0;
    } cases[] = {
        {"0/1", true, 0, 1}, {"2/3", true, 2, 3}, {"10/12", true, 10, 12}, {"3/3", false},
        {"0/0", false},      {"/3", false},       {"1/", false},           {"1", false},
        {"-1/3", false},     {"1/3x", false},     {" 1/3", false},         {"1000/1001", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto part = qeltest::ParseTablePart(c.text);
        ASSERT_EQ(part.has_value(), c.read);
        if (c.read) {
            EXPECT_EQ(part->index, c.index);
            EXPECT_EQ(part->count, c.count);
        }
    }
}

TEST(TablePart, TheNPartsTogetherRunEveryRowOnceInOrder) {
    const std::vector<int> rows = {0, 1, 2, 3, 4, 5, 6};
    for (const int n : {1, 2, 3, 7}) {
        std::vector<int> seen;
        for (int k = 0; k < n; ++k) {
            const std::string part = std::to_string(k) + "/" + std::to_string(n);
            ::_putenv_s("QEL_TEST_PART", part.c_str());
            int previous = -1;
            for (const int& row : qeltest::RowsOfThisPart(rows)) {
                EXPECT_GT(row, previous) << part;
                EXPECT_EQ(row % n, k) << part;
                previous = row;
                seen.push_back(row);
            }
        }
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(seen, rows) << n << " parts";
    }
    ::_putenv_s("QEL_TEST_PART", "");
    EXPECT_EQ(qeltest::RowsOfThisPart(rows).size(), rows.size()) << "unset: the whole table";
}

TEST(TablePart, AnUnreadablePartOrAnEmptyOneFails) {
    static const std::vector<int> rows = {0, 1};
    ::_putenv_s("QEL_TEST_PART", "2/2");
    EXPECT_NONFATAL_FAILURE(qeltest::RowsOfThisPart(rows), "QEL_TEST_PART");
    ::_putenv_s("QEL_TEST_PART", "2/3");
    EXPECT_NONFATAL_FAILURE(qeltest::RowsOfThisPart(rows), "has no row");
    ::_putenv_s("QEL_TEST_PART", "");
}

} // namespace
