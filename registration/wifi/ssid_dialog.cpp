#include "wifi/ssid_dialog.h"

#include "resource.h"
#include "ui/text_ids.h"
#include "wifi/wifi_recovery.h"

namespace qelwifi {

static_assert(IDC_SSID_OK == kNetworkChosen && IDC_SSID_CANCEL == kNetworkCancel);

namespace {

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The selected entry's text; empty when nothing is selected.
std::wstring SelectedText(HWND combo) {
    const LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        return {};
    }
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

} // namespace

void SsidDialog::SetApList(qelinfo::IApplicationInfo* facts, const AccessPointEntry* records,
                           int count, std::wstring* name, std::wstring* key,
                           bool pcNetworkNotSeen) {
    SetFacts(facts);
    names_ = AccessPointNames(records, count > 0 ? static_cast<std::size_t>(count) : 0);
    name_ = name;
    key_ = key;
    pcNetworkNotSeen_ = pcNetworkNotSeen;
}

SsidDialog::SsidDialog(const qelui::TextLibrary* texts) noexcept
    : WifiDialog(texts, nullptr, IDC_SSID_NAME, {IDC_SSID_OK, IDC_SSID_CANCEL, IDCANCEL}) {}

INT_PTR SsidDialog::DoModal(HWND owner) {
    return Open(IDD_SSID, owner);
}

void SsidDialog::OnInitDialog() {
    namespace text = qelui::text;
    ::SendMessageW(Item(IDC_SSID_KEY), EM_LIMITTEXT, kMaxKeyLength, 0);
    HWND combo = Item(IDC_SSID_NAME);
    for (std::size_t i = 0; i < names_.size(); ++i) {
        ::SendMessageW(combo, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(names_[i].c_str()));
    }
    if (!names_.empty()) {
        ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
    }
    LayOut(pcNetworkNotSeen_ ? text::kWifiNetworkNotSeen : text::kWifiChooseNetwork, Controls());
}

const std::vector<WifiControl>& SsidDialog::Controls() {
    namespace text = qelui::text;
    static const std::vector<WifiControl> controls = {
        {IDC_WIFI_UPPER_LABEL, 20, 60, 140, 30, Font::kLabel, text::kWifiNetworkLabel},
        {IDC_WIFI_KEY_LABEL, 20, 90, 140, 30, Font::kLabel, text::kWifiKeyLabel},
        {IDC_SSID_NAME, 160, 58, 400, 20, Font::kDialog, 0},
        {IDC_SSID_KEY, 160, 88, 400, 20, Font::kDialog, 0},
        {IDC_SSID_SHOW_KEY, 160, 108, 400, 20, Font::kDialog, text::kWifiShowKey},
        {IDC_SSID_OK, 267, kButtonRow, 150, 0, Font::kButton, text::kButtonOk},
        {IDC_SSID_CANCEL, 430, kButtonRow, 150, 0, Font::kButton, text::kButtonCancel},
    };
    return controls;
}

void SsidDialog::ShowKey(bool shown) const {
    HWND edit = Item(IDC_SSID_KEY);
    ::SendMessageW(edit, EM_SETPASSWORDCHAR, shown ? 0 : kMaskCharacter, 0);
    ::InvalidateRect(edit, nullptr, FALSE);
}

void SsidDialog::TakeChoice() const {
    if (name_ != nullptr) {
        *name_ = SelectedText(Item(IDC_SSID_NAME));
    }
    if (key_ != nullptr) {
        *key_ = WindowText(Item(IDC_SSID_KEY));
    }
}

void SsidDialog::OnCommand(int id, int code) {
    if (id == IDC_SSID_SHOW_KEY) {
        if (code == BN_CLICKED) {
            ShowKey(::SendMessageW(Item(IDC_SSID_SHOW_KEY), BM_GETCHECK, 0, 0) == BST_CHECKED);
        }
        return;
    }
    if (id == IDC_SSID_OK) {
        TakeChoice();
    }
    WifiDialog::OnCommand(id, code);
}

} // namespace qelwifi
