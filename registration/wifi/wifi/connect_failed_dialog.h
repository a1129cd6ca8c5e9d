// Dialog 149: the printer could not join the network; set it up by hand, or cancel.
#pragma once

#include "wifi/wifi_dialog.h"

namespace qelwifi {

class ConnectFailedDialog final : public WifiDialog {
public:
    ConnectFailedDialog(const qelui::TextLibrary* texts, qelinfo::IApplicationInfo* facts) noexcept;

    // kManualSetup, kCancel or kClosed.
    INT_PTR DoModal(HWND owner);

    // Its controls at 96 pixels per inch, with their fonts and texts (the message apart).
    static const std::vector<WifiControl>& Controls();

private:
    void OnInitDialog() override;
};

} // namespace qelwifi
