// Dialog 148: choose the network from the access points the printer sees and type its key.
#pragma once

#include <string>
#include <vector>

#include "wifi/access_points.h"
#include "wifi/wifi_dialog.h"

namespace qelwifi {

class SsidDialog final : public WifiDialog {
public:
    // The key field takes at most this many characters.
    static constexpr int kMaxKeyLength = 64;
    // The key's mask while the show-key box is clear.
    static constexpr wchar_t kMaskCharacter = L'\u25CF';

    explicit SsidDialog(const qelui::TextLibrary* texts) noexcept;

    // The names offered are those of the records up to the first empty name, at most 100 and
    // never more than the count of records given. name and key receive the choice on OK and
    // must outlive the dialog. pcNetworkNotSeen: the printer does not see the
    // PC's network (else the user asked for manual setup); it chooses the message.
    void SetApList(qelinfo::IApplicationInfo* facts, const AccessPointEntry* records, int count,
                   std::wstring* name, std::wstring* key, bool pcNetworkNotSeen);

    // kNetworkChosen (outputs written), kNetworkCancel or kClosed (outputs untouched).
    INT_PTR DoModal(HWND owner);

    const std::vector<std::wstring>& Names() const noexcept { return names_; }

    // Its controls at 96 pixels per inch, with their fonts and texts (the message apart).
    static const std::vector<WifiControl>& Controls();

private:
    void OnInitDialog() override;
    void OnCommand(int id, int code) override;
    void ShowKey(bool shown) const;
    void TakeChoice() const;

    std::vector<std::wstring> names_;
    std::wstring* name_ = nullptr;
    std::wstring* key_ = nullptr;
    bool pcNetworkNotSeen_ = true;
};

} // namespace qelwifi
