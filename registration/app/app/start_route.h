// Which message the first application message leads to, by the command-line mode.
#pragma once

#include <windows.h>

#include <optional>

namespace qelapp {

struct StartRoute {
    UINT message = WM_CLOSE;
    WPARAM wParam = 0;
    std::optional<int> launchMode; // set in the application facts when present
};

StartRoute RouteStart(int mode, int subOption) noexcept;

} // namespace qelapp
