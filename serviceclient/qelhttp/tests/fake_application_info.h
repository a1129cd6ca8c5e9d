// Application facts set directly by a test.
#pragma once

#include <string>

#include "qelinfo/IApplicationInfo.h"

namespace qelhttp::testing {

class FakeApplicationInfo : public qelinfo::IApplicationInfo {
public:
    std::wstring launchString, serviceKind, deviceName, serialNumber, languageCode, residence, area,
        regionCode, osVersion, userAgent, version;
    qelinfo::IllustrationMap illustrations;
    int usbRetried = 0;
    int userAction = 1;
    int launchMode = 0;
    int sendInfoCode = 0x8000;

    const std::wstring& GetLaunchString() override { return launchString; }
    const std::wstring& GetServiceKind() override { return serviceKind; }
    qelinfo::IllustrationMap* GetIllustrations() override { return &illustrations; }
    int* GetUsbRetried() override { return &usbRetried; }
    int* GetUserAction() override { return &userAction; }
    const std::wstring& GetDeviceName() override { return deviceName; }
    const std::wstring& GetSerialNumber() override { return serialNumber; }
    const std::wstring& GetLanguageCode() override { return languageCode; }
    const std::wstring& GetResidence() override { return residence; }
    const std::wstring& GetArea() override { return area; }
    const std::wstring& GetRegionCode() override { return regionCode; }
    const std::wstring& GetOSVersion() override { return osVersion; }
    const std::wstring& GetUserAgent() override { return userAgent; }
    int GetLaunchMode() override { return launchMode; }
    const std::wstring& GetVersion() override { return version; }
    int GetSendInfoCode() override { return sendInfoCode; }
};

} // namespace qelhttp::testing
