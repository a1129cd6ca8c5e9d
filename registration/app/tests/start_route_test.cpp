#include "app/start_route.h"

#include <gtest/gtest.h>

#include "app/app_messages.h"

namespace {

TEST(StartRoute, TheModeChoosesTheFirstFlowAndTheLaunchMode) {
    struct Case {
        int mode;
        int subOption;
        UINT message;
        WPARAM wParam;
        std::optional<int> launchMode;
    };
    const Case cases[] = {
        {0, 0, qelapp::kMsgStartMessage, 1, std::nullopt},
        {1, 0, qelapp::kMsgStartMessage, 0, 0},
        {2, 1, qelapp::kMsgLauncherFlow, 0, 4},
        {2, 5, qelapp::kMsgLauncherFlow, 0, 4},
        {3, 1, qelapp::kMsgInstallerFlow, 0, 1},
        {3, 2, qelapp::kMsgInstallerFlow, 0, 3},
        {3, 3, qelapp::kMsgInstallerFlow, 0, 3},
        {3, 5, qelapp::kMsgInstallerFlow, 0, 3},
        {4, 0, WM_CLOSE, 0, std::nullopt},
        {-1, 0, WM_CLOSE, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        const qelapp::StartRoute route = qelapp::RouteStart(c.mode, c.subOption);
        EXPECT_EQ(route.message, c.message) << c.mode << "/" << c.subOption;
        EXPECT_EQ(route.wParam, c.wParam) << c.mode << "/" << c.subOption;
        EXPECT_EQ(route.launchMode, c.launchMode) << c.mode << "/" << c.subOption;
    }
}

} // namespace
