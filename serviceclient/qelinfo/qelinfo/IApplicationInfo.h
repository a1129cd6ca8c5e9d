// The facts about this run that cloud requests carry and flows decide on.
#pragma once

#include <map>
#include <string>

namespace qelinfo {

// One illustration of the invitation screen.
struct IllustrationInfo {
    std::wstring imageFile; // empty when the entry has no image
    std::wstring title;
    std::wstring body;
};

using IllustrationMap = std::map<std::wstring, IllustrationInfo>;

// Cached texts are computed on first use and again while they are empty.
class IApplicationInfo {
public:
    virtual ~IApplicationInfo() = default;

    virtual const std::wstring& GetLaunchString() = 0;
    virtual const std::wstring& GetServiceKind() = 0;
    virtual IllustrationMap* GetIllustrations() = 0;
    virtual int* GetUsbRetried() = 0;
    virtual int* GetUserAction() = 0;
    virtual const std::wstring& GetDeviceName() = 0;
    virtual const std::wstring& GetSerialNumber() = 0;
    virtual const std::wstring& GetLanguageCode() = 0;
    virtual const std::wstring& GetResidence() = 0;
    virtual const std::wstring& GetArea() = 0;
    virtual const std::wstring& GetRegionCode() = 0;
    virtual const std::wstring& GetOSVersion() = 0;
    virtual const std::wstring& GetUserAgent() = 0;
    virtual int GetLaunchMode() = 0;
    virtual const std::wstring& GetVersion() = 0;
    virtual int GetSendInfoCode() = 0;
};

} // namespace qelinfo
