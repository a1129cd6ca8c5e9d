#include "qelbench/figures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using qelbench::Figure;
using qelbench::Goal;

TEST(BenchFigures, LinesCarryValueTargetAndVerdict) {
    struct Case {
        Figure figure;
        const char* line;
    };
    const Case cases[] = {
        {{"overhead, auto", 32.04, "ms", Goal::Below, 50},
         "figure: overhead, auto | 32.0 ms | < 50 ms | met"},
        {{"overhead, auto", 50.0, "ms", Goal::Below, 50},
         "figure: overhead, auto | 50.0 ms | < 50 ms | MISSED"},
        {{"search ratio", 1.1, "", Goal::AtMost, 1.1, 2},
         "figure: search ratio | 1.10 | <= 1.1 | met"},
        {{"search ratio", 1.1001, "", Goal::AtMost, 1.1, 3},
         "figure: search ratio | 1.100 | <= 1.1 | MISSED"},
        {{"xml read", 0.0421, "ms", Goal::Below, 1, 3},
         "figure: xml read | 0.042 ms | < 1 ms | met"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qelbench::FigureLine(c.figure), c.line);
    }
}

TEST(BenchFigures, MedianAndMin) {
    struct Case {
        std::vector<double> values;
        double median;
        double min;
    };
    const Case cases[] = {
        {{}, 0, 0},
        {{7}, 7, 7},
        {{9, 1, 5}, 5, 1},
        {{4, 1, 3, 2}, 3, 1}, // the upper middle: a run of many is never made to look faster
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qelbench::Median(c.values), c.median);
        EXPECT_EQ(qelbench::Min(c.values), c.min);
    }
}

} // namespace
