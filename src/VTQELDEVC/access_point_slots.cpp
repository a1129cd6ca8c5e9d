// Access-point search and Wi-Fi setup through a USB-connected printer: the printer lists the
// networks it sees, the PC's saved profiles say which of them the PC knows and with which key,
// and the chosen one is written into the printer.
#include "vtesdev_lib.h"

#include "record_text.h"
#include "text_convert.h"
#include "wlan_profiles.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace vtqeldevc {
namespace {

constexpr int kConversationRetries = 3;
constexpr unsigned kConversationRetryWaitMs = 1000;
// What the printer's settings hold at most: a network name of 32 bytes, a key of 64.
constexpr std::size_t kMaxSsidBytes = 32;
constexpr std::size_t kMaxKeyBytes = 64;

// Appends a network unless one of that name is listed already: the first row met gives the
// signal.
void AddAccessPoint(std::vector<AccessPointEntry>& list, const std::wstring& ssid, int signal) {
    AccessPointEntry entry{};
    CopyToField(entry.ssid, std::wstring_view(ssid));
    const auto same = [&](const AccessPointEntry& listed) {
        return FieldText(listed.ssid) == FieldText(entry.ssid);
    };
    if (std::none_of(list.begin(), list.end(), same)) {
        entry.signal = signal;
        list.push_back(entry);
    }
}

// The decimal value at the start of a text, 0 when there is none (as atoi reads it, without
// its overflow).
int LeadingNumber(std::string_view text) {
    const std::string bounded(text.substr(0, 16));
    return static_cast<int>(std::strtol(bounded.c_str(), nullptr, 10));
}

// The saved profile to give the printer: the PC's own network when the printer sees it, else
// the first saved network that the printer sees.
std::optional<SavedWlanProfile> ChooseProfile(const SavedWlanProfile* profiles, unsigned count,
                                              const std::vector<AccessPointEntry>& seen) {
    const auto visible = [&](const SavedWlanProfile& profile) {
        const std::wstring ssid = FieldText(profile.ssid);
        return std::any_of(seen.begin(), seen.end(),
                           [&](const AccessPointEntry& e) { return FieldText(e.ssid) == ssid; });
    };
    const SavedWlanProfile* end = profiles + count;
    const auto connected = std::find_if(profiles, end, [](const auto& p) { return p.connected; });
    if (connected != end && visible(*connected)) {
        return *connected;
    }
    const auto first = std::find_if(profiles, end, visible);
    if (first != end) {
        return *first;
    }
    return std::nullopt;
}

// A WLAN client handle, closed when the search is done with it.
struct WlanClient {
    const WlanApi& api;
    HANDLE handle;
    ~WlanClient() { api.WlanCloseHandle(handle, nullptr); }
};

} // namespace

int VTESDevLib::DoSearchAccessPoints(const DeviceConnection* connection, wchar_t* ssidOut,
                                     int ssidChars, wchar_t* keyOut, int keyChars) {
    if (connection == nullptr || ssidOut == nullptr || keyOut == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    access_points_.clear();
    if (connection->kind == VTESDEV_CONNECTION_USB_WRAPPER) {
        const std::string model = FieldText(connection->modelName);
        const std::string serial = FieldText(connection->serialNumber);
        if (wus_.ApSearch(model.c_str(), serial.c_str()) != 0) {
            return VTESDEV_AP_SEARCH_FAILED;
        }
        for (const auto& row : wus_.kept_rows()) {
            AddAccessPoint(access_points_, AnsiToWide(FieldText(row.dot11APSearchResultSsid_)),
                           row.dot11APSearchResultSignalLevel_);
        }
    } else {
        const std::string key = FieldText(connection->deviceKey);
        int searched = uns_.SearchAccessPoints(key.c_str());
        // The printer may still be busy with another conversation.
        for (int retry = 0; searched == -7 && retry < kConversationRetries; ++retry) {
            platform_.Wait(kConversationRetryWaitMs);
            searched = uns_.SearchAccessPoints(key.c_str());
        }
        if (searched != 0) {
            return VTESDEV_AP_SEARCH_FAILED;
        }
        for (const auto& point : uns_.access_points()) {
            const std::vector<std::uint8_t> ssid = HexToBytes(point.HexSsid());
            AddAccessPoint(access_points_,
                           AnsiToWide({reinterpret_cast<const char*>(ssid.data()), ssid.size()}),
                           LeadingNumber(point.Signal()));
        }
    }
    std::stable_sort(access_points_.begin(), access_points_.end(),
                     [](const auto& a, const auto& b) { return a.signal > b.signal; });

    const SystemWlan system_wlan;
    const WlanApi& wlan = platform_.wlan != nullptr ? *platform_.wlan : system_wlan.api();
    DWORD version = 0;
    HANDLE handle = nullptr;
    if (!IsComplete(wlan) ||
        wlan.WlanOpenHandle(kWlanClientVersion, nullptr, &version, &handle) != ERROR_SUCCESS) {
        return VTESDEV_NO_MATCHING_PROFILE;
    }
    const WlanClient client{wlan, handle};
    SavedWlanProfile profiles[kMaxSavedProfiles] = {};
    unsigned count = 0;
    if (WlanProfileReader(wlan, handle).GetProfiles(&profiles, sizeof(profiles), &count) !=
        kWlanOk) {
        return VTESDEV_NO_MATCHING_PROFILE;
    }
    const auto chosen =
        ChooseProfile(profiles, std::min<unsigned>(count, kMaxSavedProfiles), access_points_);
    if (!chosen) {
        return VTESDEV_NO_MATCHING_PROFILE;
    }
    CopyToBuffer(ssidOut, ssidChars, std::wstring_view(FieldText(chosen->ssid)));
    CopyToBuffer(keyOut, keyChars, std::wstring_view(FieldText(chosen->key)));
    return VTESDEV_OK;
}

int VTESDevLib::DoApplyAccessPoint(const DeviceConnection* connection, const wchar_t* ssid,
                                   const wchar_t* key) {
    if (ssid == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    if (*ssid == L'\0' || key == nullptr) {
        return VTESDEV_OK;
    }
    if (connection == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    const std::string ssid_text = WideToAnsi(ssid);
    const std::string key_text = WideToAnsi(key);
    // Cut to fit, either would be another network or a wrong key written into the printer.
    if (ssid_text.size() > kMaxSsidBytes || key_text.size() > kMaxKeyBytes) {
        return VTESDEV_FAILED;
    }
    int applied = 0;
    if (connection->kind == VTESDEV_CONNECTION_USB_WRAPPER) {
        const std::string model = FieldText(connection->modelName);
        const std::string serial = FieldText(connection->serialNumber);
        applied = wus_.ApplyAp(model.c_str(), serial.c_str(), ssid_text.c_str(), key_text.c_str());
    } else {
        const std::string device_key = FieldText(connection->deviceKey);
        applied =
            uns_.ApplyWirelessSettings(device_key.c_str(), ssid_text.c_str(), key_text.c_str());
    }
    return applied == 0 ? VTESDEV_OK : VTESDEV_FAILED;
}

int VTESDevLib::DoGetAccessPointList(AccessPointEntry* out, int* count) {
    if (count == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    if (out == nullptr) {
        *count = static_cast<int>(access_points_.size());
        return VTESDEV_OK;
    }
    const std::size_t n =
        std::min(static_cast<std::size_t>(std::max(*count, 0)), access_points_.size());
    for (std::size_t i = 0; i < n; ++i) {
        // Only the name of each output entry is the library's to write.
        CopyToField(out[i].ssid, std::wstring_view(FieldText(access_points_[i].ssid)));
    }
    return VTESDEV_OK;
}

} // namespace vtqeldevc
