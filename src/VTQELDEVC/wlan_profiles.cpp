#include "wlan_profiles.h"

#include "record_text.h"

#include <algorithm>
#include <cstring>

namespace vtqeldevc {
namespace {

// Memory that the WLAN service handed out, given back to it.
template <typename T> class WlanMemory {
public:
    explicit WlanMemory(const WlanApi& api) noexcept : api_(api) {}
    ~WlanMemory() {
        if (memory_ != nullptr) {
            api_.WlanFreeMemory(memory_);
        }
    }
    WlanMemory(const WlanMemory&) = delete;
    WlanMemory& operator=(const WlanMemory&) = delete;

    T** put() noexcept { return &memory_; }
    T* get() const noexcept { return memory_; }

private:
    const WlanApi& api_;
    T* memory_ = nullptr;
};

// The interfaces of the PC: kWlanOk with a list that holds one at least, else the failure.
int EnumInterfaces(const WlanApi& api, HANDLE handle, WlanMemory<WLAN_INTERFACE_INFO_LIST>& list) {
    if (api.WlanEnumInterfaces(handle, nullptr, list.put()) != ERROR_SUCCESS ||
        list.get() == nullptr) {
        return kWlanFailed;
    }
    return list.get()->dwNumberOfItems == 0 ? kWlanNothing : kWlanOk;
}

SavedWlanProfile MakeRecord(std::wstring_view ssid, std::wstring_view key) {
    SavedWlanProfile record{};
    CopyToField(record.ssid, ssid);
    CopyToField(record.key, key);
    return record;
}

} // namespace

bool IsComplete(WlanApi api) noexcept {
    bool all = true;
    api.ForEach([&](const char*, auto& entry) { all = all && entry != nullptr; });
    return all;
}

SystemWlan::SystemWlan() noexcept {
    api_.ForEach([&](const char* name, auto& entry) {
        entry = library_.Find<std::remove_reference_t<decltype(entry)>>(name);
    });
}

int WlanProfileReader::EnumProfiles(std::vector<SavedWlanProfile>* profiles) {
    if (handle_ == nullptr || profiles == nullptr) {
        return kWlanNoArgument;
    }
    WlanMemory<WLAN_INTERFACE_INFO_LIST> interfaces(api_);
    if (const int listed = EnumInterfaces(api_, handle_, interfaces); listed != kWlanOk) {
        return listed;
    }
    const WLAN_INTERFACE_INFO_LIST& list = *interfaces.get();
    for (DWORD i = 0; i < list.dwNumberOfItems; ++i) {
        const GUID& guid = list.InterfaceInfo[i].InterfaceGuid;
        WlanMemory<WLAN_PROFILE_INFO_LIST> names(api_);
        if (api_.WlanGetProfileList(handle_, &guid, nullptr, names.put()) != ERROR_SUCCESS ||
            names.get() == nullptr) {
            continue;
        }
        for (DWORD p = 0; p < names.get()->dwNumberOfItems; ++p) {
            const WLAN_PROFILE_INFO& info = names.get()->ProfileInfo[p];
            WlanMemory<WCHAR> xml(api_);
            DWORD flags = kWlanProfileGetPlaintextKey;
            const std::wstring name = FieldText(info.strProfileName);
            if (api_.WlanGetProfile(handle_, &guid, name.c_str(), nullptr, xml.put(), &flags,
                                    nullptr) != ERROR_SUCCESS) {
                continue;
            }
            std::wstring ssid;
            std::wstring key;
            if (ParseWlanProfileXml(xml.get(), ssid, key) == kWlanOk) {
                profiles->push_back(MakeRecord(ssid, key));
            }
        }
    }
    return kWlanOk;
}

int WlanProfileReader::GetConnectedSsid(std::wstring& ssid) {
    if (handle_ == nullptr) {
        return kWlanNoArgument;
    }
    WlanMemory<WLAN_INTERFACE_INFO_LIST> interfaces(api_);
    if (const int listed = EnumInterfaces(api_, handle_, interfaces); listed != kWlanOk) {
        return listed;
    }
    const WLAN_INTERFACE_INFO_LIST& list = *interfaces.get();
    for (DWORD i = 0; i < list.dwNumberOfItems; ++i) {
        const WLAN_INTERFACE_INFO& info = list.InterfaceInfo[i];
        if (info.isState != wlan_interface_state_connected) {
            continue;
        }
        WlanMemory<void> answer(api_);
        DWORD size = 0;
        if (api_.WlanQueryInterface(handle_, &info.InterfaceGuid,
                                    wlan_intf_opcode_current_connection, nullptr, &size,
                                    answer.put(), nullptr) != ERROR_SUCCESS ||
            answer.get() == nullptr || size < sizeof(WLAN_CONNECTION_ATTRIBUTES)) {
            continue;
        }
        const DOT11_SSID& connected = static_cast<const WLAN_CONNECTION_ATTRIBUTES*>(answer.get())
                                          ->wlanAssociationAttributes.dot11Ssid;
        // The length comes from the service; the name never holds more than 32 bytes.
        const ULONG length = std::min<ULONG>(connected.uSSIDLength, DOT11_SSID_MAX_LENGTH);
        ssid.append(connected.ucSSID, connected.ucSSID + length);
    }
    return kWlanOk;
}

int WlanProfileReader::GetProfiles(SavedWlanProfile (*profiles)[kMaxSavedProfiles], int,
                                   unsigned* count) {
    if (profiles == nullptr || count == nullptr) {
        return kWlanNoArgument;
    }
    std::vector<SavedWlanProfile> found;
    if (const int listed = EnumProfiles(&found); listed != kWlanOk) {
        return listed;
    }
    if (found.empty()) {
        return kWlanNothing;
    }
    std::wstring connected;
    if (GetConnectedSsid(connected) == kWlanOk) {
        const auto match = std::find_if(found.begin(), found.end(), [&](const auto& profile) {
            return FieldText(profile.ssid) == connected;
        });
        if (match != found.end()) {
            match->connected = 1;
        }
    }
    std::memset(*profiles, 0, sizeof(*profiles));
    const std::size_t n = std::min<std::size_t>(found.size(), kMaxSavedProfiles);
    std::copy_n(found.begin(), n, *profiles);
    *count = static_cast<unsigned>(n);
    return kWlanOk;
}

} // namespace vtqeldevc
