#include "qelbench/figures.h"

#include <algorithm>
#include <cstdio>

namespace qelbench {
namespace {

std::string Format(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

std::string WithUnit(std::string number, const std::string& unit) {
    return unit.empty() ? number : number + " " + unit;
}

} // namespace

bool Met(const Figure& figure) {
    switch (figure.goal) {
    case Goal::Below:
        return figure.value < figure.target;
    case Goal::AtMost:
        return figure.value <= figure.target;
    case Goal::None:
        break;
    }
    return true;
}

std::string FigureLine(const Figure& figure) {
    const std::string line = "figure: " + figure.what + " | " +
                             WithUnit(Format(figure.value, figure.decimals), figure.unit);
    if (figure.goal == Goal::None) {
        return line + " | (none) | -";
    }
    char target[64];
    std::snprintf(target, sizeof(target), "%g", figure.target);
    return line + " | " + (figure.goal == Goal::Below ? "< " : "<= ") +
           WithUnit(target, figure.unit) + " | " + (Met(figure) ? "met" : "MISSED");
}

void PrintFigure(const Figure& figure) {
    std::printf("%s\n", FigureLine(figure).c_str());
    std::fflush(stdout);
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double Min(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

} // namespace qelbench
