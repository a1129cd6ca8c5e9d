#include "qelinfo/ApplicationInfo.h"

#include <array>

#include "qelinfo/service_kind.h"
#include "win/registry_text.h"

namespace qelinfo {

const wchar_t* const kSettingsKey = L"SOFTWARE\\Velto\\QelRegistration";

namespace {

constexpr wchar_t kProductVersion[] = L"1.8.0";
constexpr wchar_t kUserAgentPrefix[] = L"QelRegistration/";
constexpr wchar_t kDefaultResidence[] = L"asia";
constexpr wchar_t kDefaultArea[] = L"JP";

// The installer's text, or the fallback when it is missing, empty or not a text.
std::wstring SettingOr(const wchar_t* valueName, const wchar_t* fallback) {
    std::optional<std::wstring> text =
        qelwin::ReadRegistryText(HKEY_LOCAL_MACHINE, kSettingsKey, valueName);
    if (!text || text->empty()) {
        return fallback;
    }
    return std::move(*text);
}

// Fills an empty cache; an empty result stays missing, so the next call computes it again.
template <typename Compute> const std::wstring& Cached(std::wstring& field, Compute compute) {
    if (field.empty()) {
        field = compute();
    }
    return field;
}

} // namespace

std::wstring GetLanguageCode(const std::wstring& code) {
    if (!code.empty()) {
        return code;
    }
    return SettingOr(L"LanguageCode", L"");
}

std::wstring ReadOSVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExW(&info)) {
        return {};
    }
    std::array<wchar_t, 32> text{};
    ::wsprintfW(text.data(), L"W%d.%d", static_cast<int>(info.dwMajorVersion),
                static_cast<int>(info.dwMinorVersion));
    return text.data();
}

const std::wstring& ApplicationInfo::GetLanguageCode() {
    return Cached(languageCode_, [] { return qelinfo::GetLanguageCode(std::wstring()); });
}

const std::wstring& ApplicationInfo::GetResidence() {
    return Cached(residence_, [] { return SettingOr(L"RESIDENCE", kDefaultResidence); });
}

const std::wstring& ApplicationInfo::GetArea() {
    return Cached(area_, [] { return SettingOr(L"AREA", kDefaultArea); });
}

const std::wstring& ApplicationInfo::GetOSVersion() {
    return Cached(osVersion_, ReadOSVersion);
}

const std::wstring& ApplicationInfo::GetVersion() {
    return Cached(version_, [] { return std::wstring(kProductVersion); });
}

const std::wstring& ApplicationInfo::GetUserAgent() {
    return Cached(userAgent_, [this] {
        return kUserAgentPrefix + GetVersion() + L"(" + GetOSVersion() + L")";
    });
}

void ApplicationInfo::SetLaunchContext(bool qelServiceOffered, bool agreementKnown,
                                       const std::wstring& deviceName,
                                       const std::wstring& serialNumber,
                                       const std::wstring& languageCode,
                                       const std::wstring& residence, const std::wstring& area,
                                       const std::wstring& regionCode, unsigned char serviceType,
                                       int launchMode) {
    languageCode_ = qelinfo::GetLanguageCode(languageCode);
    deviceName_ = deviceName;
    serialNumber_ = serialNumber;
    residence_ = residence;
    area_ = area;
    regionCode_ = regionCode;
    launchMode_ = launchMode;
    // The choice looks at the area as given: an empty one is not filled from the registry.
    serviceKind_ = ChooseServiceKind(ServiceKindInput{qelServiceOffered, agreementKnown, regionCode,
                                                      area, serviceType, launchMode});
}

} // namespace qelinfo
