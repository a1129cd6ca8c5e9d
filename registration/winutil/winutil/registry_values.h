// The registry values the program shares with the maker's installer: its own kept registration
// page "RegUrl" and what the installer records per installed device.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qelwinutil {

// HKEY_CURRENT_USER: where the program keeps the registration page between two starts.
inline constexpr wchar_t kProgramKey[] = L"SOFTWARE\\Velto\\QelRegistration";
inline constexpr wchar_t kRegUrlValue[] = L"RegUrl";

// HKEY_LOCAL_MACHINE: one sub-key per device the installer set up.
inline constexpr wchar_t kInstalledDeviceKey[] = L"SOFTWARE\\Velto\\PREPLY4\\InstalledDevice";
inline constexpr wchar_t kUfUrlValue[] = L"UF_URL";
inline constexpr wchar_t kSendInfoAgreeValue[] = L"SEND_INFO_AGREE";

// Stores the address as "RegUrl"; an empty address clears the kept page. False when the key or
// value could not be written.
bool SaveRegUrl(const std::wstring& address) noexcept;

// The kept page; "" when missing, not a text or unreadable.
std::wstring ReadRegUrl();

// The installer's "UF_URL" of the first installed device whose sub-key name contains the
// device text (case-sensitive; an empty text matches every device) and whose sub-key
// subKeyName holds it as a text (REG_SZ, or REG_EXPAND_SZ read as stored); "" when none does.
std::wstring FindInstalledDeviceUfUrl(const std::wstring& deviceText,
                                      const std::wstring& subKeyName);

// The installer's "SEND_INFO_AGREE" (a REG_DWORD) found by the same walk; nothing when no device
// holds one.
std::optional<DWORD> FindInstalledDeviceSendInfoAgree(const std::wstring& deviceText,
                                                      const std::wstring& subKeyName);

} // namespace qelwinutil
