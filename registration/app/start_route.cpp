#include "app/start_route.h"

#include "app/CommandLineOptions.h"
#include "app/app_messages.h"
#include "qelinfo/ApplicationInfo.h"

namespace qelapp {

StartRoute RouteStart(int mode, int subOption) noexcept {
    switch (mode) {
    case CommandLineOptions::kNoOption:
        return {kMsgStartMessage, kStartedWithoutOption, std::nullopt};
    case CommandLineOptions::kSetup:
        return {kMsgStartMessage, kStartedForSetup, qelinfo::kLaunchSetup};
    case CommandLineOptions::kLauncher:
        return {kMsgLauncherFlow, 0, qelinfo::kLaunchLauncher};
    case CommandLineOptions::kInstaller:
        return {kMsgInstallerFlow, 0,
                subOption == CommandLineOptions::kReg ? qelinfo::kLaunchInstallerReg
                                                      : qelinfo::kLaunchInstaller};
    default:
        return {WM_CLOSE, 0, std::nullopt};
    }
}

} // namespace qelapp
