// Checks of a pixel layout that need no window, so the pure layout tests can make them at every
// density: every control wholly inside the client area, and no two text controls overlapping.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "ui/dialog_layout.h"

namespace qeltest {

inline std::string DescribePlace(const qelui::ControlPlace& c) {
    return std::to_string(c.id) + " at " + std::to_string(c.x) + "," + std::to_string(c.y) + " " +
           std::to_string(c.width) + "x" + std::to_string(c.height);
}

// What is wrong with the layout, one line each; empty when nothing is. Controls of zero size
// hold no text and overlap nothing.
inline std::vector<std::string> LayoutFaults(const qelui::PixelLayout& layout,
                                             const std::vector<int>& textIds) {
    std::vector<std::string> faults;
    const auto isText = [&](int id) {
        for (int text : textIds) {
            if (text == id) {
                return true;
            }
        }
        return false;
    };
    const std::vector<qelui::ControlPlace>& all = layout.controls;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const qelui::ControlPlace& a = all[i];
        if (a.x < 0 || a.y < 0 || a.width < 0 || a.height < 0 || a.x + a.width > layout.client.cx ||
            a.y + a.height > layout.client.cy) {
            faults.push_back(DescribePlace(a) + " leaves the client area " +
                             std::to_string(layout.client.cx) + "x" +
                             std::to_string(layout.client.cy));
        }
        for (std::size_t j = i + 1; j < all.size() && isText(a.id); ++j) {
            const qelui::ControlPlace& b = all[j];
            if (isText(b.id) && a.x < b.x + b.width && b.x < a.x + a.width &&
                a.y < b.y + b.height && b.y < a.y + a.height) {
                faults.push_back(DescribePlace(a) + " overlaps " + DescribePlace(b));
            }
        }
    }
    return faults;
}

} // namespace qeltest
