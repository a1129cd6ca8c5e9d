// Dialog 149: the printer could not join the network; set it up by hand, or cancel.
#pragma once

#include "wifi/wifi_dialog.h"

namespace qelwifi {

class ConnectFailedDialog final : public WifiDialog {
public:
    ConnectFailedDialog(const qelui::TextLibrary* texts, qelinfo::IApplicationInfo* facts) noexcept;

    // kManualSetup, kCancel or kClosed.
    INT_PTR DoModal(HWND owner);

private:
    void OnInitDialog() override;
};

} // namespace qelwifi
