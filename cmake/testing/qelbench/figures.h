// What every benchmark hands to tools/bench.sh: besides its own detail, one "figure:" line per
// figure, with the target beside it. Benchmarks print figures; nothing here passes or fails.
#pragma once

#include <string>
#include <vector>

namespace qelbench {

enum class Goal {
    Below,  // the figure must stay under the target
    AtMost, // the figure may reach the target
    None,   // a figure shown for what it tells, without a target
};

struct Figure {
    std::string what;
    double value = 0;
    std::string unit; // "ms", "MB"; empty for a ratio
    Goal goal = Goal::Below;
    double target = 0;
    int decimals = 1;
};

// True also for a figure without a target.
bool Met(const Figure& figure);

// "figure: <what> | <value> <unit> | < <target> <unit> | met" (or "MISSED"; without a target
// "(none) | -"); tools/bench.sh splits it at the bars.
std::string FigureLine(const Figure& figure);
// Writes the line to standard output at once, so a benchmark that dies later keeps it.
void PrintFigure(const Figure& figure);

// The middle value (the upper of the two middle ones for an even count); 0 for none.
double Median(std::vector<double> values);
// The smallest value; 0 for none.
double Min(const std::vector<double>& values);

} // namespace qelbench
