// The facts about this run: read from the registry on first use, set by the flows.
#pragma once

#include <windows.h>

#include <string>

#include "qelinfo/IApplicationInfo.h"

namespace qelinfo {

// Where the installer leaves the user's language, residence and area (HKEY_LOCAL_MACHINE).
extern const wchar_t* const kSettingsKey;

// The given code when it is not empty; otherwise the installer's "LanguageCode"; otherwise "".
std::wstring GetLanguageCode(const std::wstring& code);

// "W<major>.<minor>" of the running Windows.
std::wstring ReadOSVersion();

// Launch modes: how this run was started.
inline constexpr int kLaunchSetup = 0;        // "-Setup" or no option
inline constexpr int kLaunchInstallerReg = 1; // installer start with "-REG"
inline constexpr int kLaunchScreen = 2;       // set by a registration screen
inline constexpr int kLaunchInstaller = 3;    // other installer starts and installer registrations
inline constexpr int kLaunchLauncher = 4;     // launcher start

// The send-info code while nothing was recorded about sending information.
inline constexpr int kSendInfoNone = 0x8000;
// The user action code of a service page: the gateway query then carries none.
inline constexpr int kUserActionNone = 240;

class ApplicationInfo final : public IApplicationInfo {
public:
    ApplicationInfo() = default;
    ApplicationInfo(const ApplicationInfo&) = default;
    ApplicationInfo& operator=(const ApplicationInfo&) = default;
    ~ApplicationInfo() override = default;

    const std::wstring& GetLaunchString() override { return launchString_; }
    const std::wstring& GetServiceKind() override { return serviceKind_; }
    IllustrationMap* GetIllustrations() override { return &illustrations_; }
    int* GetUsbRetried() override { return &usbRetried_; }
    int* GetUserAction() override { return &userAction_; }
    const std::wstring& GetDeviceName() override { return deviceName_; }
    const std::wstring& GetSerialNumber() override { return serialNumber_; }
    const std::wstring& GetLanguageCode() override;
    const std::wstring& GetResidence() override;
    const std::wstring& GetArea() override;
    const std::wstring& GetRegionCode() override { return regionCode_; }
    const std::wstring& GetOSVersion() override;
    const std::wstring& GetUserAgent() override;
    int GetLaunchMode() override { return launchMode_; }
    const std::wstring& GetVersion() override;
    int GetSendInfoCode() override { return sendInfoCode_; }

    // Takes the facts of the printer about to be registered and chooses its service kind.
    // An empty language code takes the installer's; a non-empty residence or area overrides the
    // registry for the rest of the run.
    void SetLaunchContext(bool qelServiceOffered, bool agreementKnown,
                          const std::wstring& deviceName, const std::wstring& serialNumber,
                          const std::wstring& languageCode, const std::wstring& residence,
                          const std::wstring& area, const std::wstring& regionCode,
                          unsigned char serviceType, int launchMode);

    void SetUsbRetried(int count) noexcept { usbRetried_ = count; }
    void SetUserAction(int code) noexcept { userAction_ = code; }
    void SetLaunchMode(int mode) noexcept { launchMode_ = mode; }
    void SetSendInfoCode(int code) noexcept { sendInfoCode_ = code; }
    void SetIllustrations(IllustrationMap illustrations) {
        illustrations_ = std::move(illustrations);
    }

private:
    std::wstring deviceName_;
    std::wstring serialNumber_;
    std::wstring languageCode_;
    std::wstring residence_;
    std::wstring area_;
    std::wstring regionCode_;
    std::wstring osVersion_;
    std::wstring version_;
    std::wstring userAgent_;
    int launchMode_ = kLaunchSetup;
    std::wstring launchString_;
    std::wstring serviceKind_;
    IllustrationMap illustrations_;
    int usbRetried_ = 0;
    int userAction_ = 1;
    int sendInfoCode_ = kSendInfoNone;
};

} // namespace qelinfo
