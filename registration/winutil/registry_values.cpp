#include "winutil/registry_values.h"

#include <array>
#include <functional>

#include "win/registry_text.h"
#include "win/registry_view.h"
#include "win/unique_any.h"

namespace qelwinutil {

namespace {

// Calls read with the path of each installed device's sub-key subKeyName, for the devices whose
// key name contains deviceText, in enumeration order, until read returns true.
void WalkInstalledDevices(const std::wstring& deviceText, const std::wstring& subKeyName,
                          const std::function<bool(const std::wstring& path)>& read) {
    qelwin::unique_hkey devices;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstalledDeviceKey, 0,
                        KEY_ENUMERATE_SUB_KEYS | qelwin::kRegistryView,
                        devices.put()) != ERROR_SUCCESS) {
        return;
    }
    std::array<wchar_t, 1024> name{};
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (::RegEnumKeyExW(devices.get(), index, name.data(), &length, nullptr, nullptr, nullptr,
                            nullptr) != ERROR_SUCCESS) {
            return;
        }
        const std::wstring device(name.data(), length);
        if (device.find(deviceText) == std::wstring::npos) {
            continue;
        }
        std::wstring path = std::wstring(kInstalledDeviceKey) + L"\\" + device;
        if (!subKeyName.empty()) {
            path += L"\\" + subKeyName;
        }
        if (read(path)) {
            return;
        }
    }
}

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& subKey, const wchar_t* valueName) {
    qelwin::unique_hkey key;
    if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | qelwin::kRegistryView,
                        key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(key.get(), nullptr, valueName, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

} // namespace

bool SaveRegUrl(const std::wstring& address) noexcept {
    qelwin::unique_hkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE | qelwin::kRegistryView, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const auto bytes = static_cast<DWORD>((address.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.get(), kRegUrlValue, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(address.c_str()), bytes) == ERROR_SUCCESS;
}

std::wstring ReadRegUrl() {
    return qelwin::ReadRegistryText(HKEY_CURRENT_USER, kProgramKey, kRegUrlValue).value_or(L"");
}

std::wstring FindInstalledDeviceUfUrl(const std::wstring& deviceText,
                                      const std::wstring& subKeyName) {
    std::wstring found;
    WalkInstalledDevices(deviceText, subKeyName, [&](const std::wstring& path) {
        std::optional<std::wstring> text =
            qelwin::ReadRegistryText(HKEY_LOCAL_MACHINE, path, kUfUrlValue);
        if (!text) {
            return false;
        }
        found = std::move(*text);
        return true;
    });
    return found;
}

std::optional<DWORD> FindInstalledDeviceSendInfoAgree(const std::wstring& deviceText,
                                                      const std::wstring& subKeyName) {
    std::optional<DWORD> found;
    WalkInstalledDevices(deviceText, subKeyName, [&](const std::wstring& path) {
        found = ReadDword(HKEY_LOCAL_MACHINE, path, kSendInfoAgreeValue);
        return found.has_value();
    });
    return found;
}

} // namespace qelwinutil
