// Dialog 147: connect the printer to the network the PC uses, which the printer found? OK,
// Cancel or manual setup.
#pragma once

#include <string>

#include "wifi/wifi_dialog.h"

namespace qelwifi {

class WifiConfirmDialog final : public WifiDialog {
public:
    explicit WifiConfirmDialog(const qelui::TextLibrary* texts) noexcept;

    // The printer shown comes from the facts (device name and serial number); the network name
    // must outlive the dialog. Either may be null.
    void SetData(qelinfo::IApplicationInfo* facts, const std::wstring* ssid) noexcept;

    // kConfirmUseNetwork, kCancel, kManualSetup or kClosed.
    INT_PTR DoModal(HWND owner);

    // Its controls at 96 pixels per inch, with their fonts and texts (the message apart).
    static const std::vector<WifiControl>& Controls();

private:
    void OnInitDialog() override;

    const std::wstring* ssid_ = nullptr;
};

// How the dialog names the printer: device name, "(", serial number, ")", nothing between.
std::wstring PrinterLabel(qelinfo::IApplicationInfo* facts);

} // namespace qelwifi
