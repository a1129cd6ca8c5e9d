// The PC's saved Wi-Fi profiles whose key can be read in plain form, so that a printer can be put
// on the network the PC already knows. The WLAN service is reached through a table of its entry
// points: the system's (wlanapi.dll, bound at run time since a PC without the WLAN feature has
// no such library) or a test's.
#pragma once

#include "bound_library.h"

#include "win/system_library.h"

#include <windows.h>

#include <wlanapi.h>

#include <string>
#include <vector>

namespace vtqeldevc {

// clang-format off
#define VTQELDEVC_WLAN_ENTRIES(X) \
    X(WlanOpenHandle)             \
    X(WlanCloseHandle)            \
    X(WlanEnumInterfaces)         \
    X(WlanGetProfileList)         \
    X(WlanGetProfile)             \
    X(WlanQueryInterface)         \
    X(WlanFreeMemory)
// clang-format on

struct WlanApi {
    VTQELDEVC_WLAN_ENTRIES(VTQELDEVC_DECLARE_ENTRY)
    VTQELDEVC_ENTRY_VISITOR(VTQELDEVC_WLAN_ENTRIES)
};

// Every entry bound.
bool IsComplete(WlanApi api) noexcept;

// The system's WLAN entries, bound while the object lives; all null when the system has none.
class SystemWlan {
public:
    SystemWlan() noexcept;

    const WlanApi& api() const noexcept { return api_; }

private:
    qelwin::SystemLibrary library_{L"wlanapi.dll"};
    WlanApi api_{};
};

inline constexpr DWORD kWlanClientVersion = 2;
// WlanGetProfile: hand the key out in plain form where the caller may read it.
inline constexpr DWORD kWlanProfileGetPlaintextKey = 4;
inline constexpr int kMaxSavedProfiles = 30;

// One saved profile as GetProfiles writes it: 198 bytes.
struct SavedWlanProfile {
    wchar_t ssid[33];
    wchar_t key[65];
    unsigned char connected; // the network the PC is connected to
    unsigned char reserved;
};
static_assert(sizeof(SavedWlanProfile) == 198, "a saved profile record is 198 bytes");

// Results of the reader.
inline constexpr int kWlanOk = 0;
inline constexpr int kWlanFailed = -1;     // the interfaces could not be listed
inline constexpr int kWlanNoArgument = -2; // no handle, array, vector or count
inline constexpr int kWlanNothing = -3;    // no interface, or no usable profile

// Reads a profile document: 0 with its SSID and key when its key is a pass phrase or network key
// handed out in plain form; -1 when it is not usable (an open network, a protected key) or cannot
// be read; -2 when there is no document.
int ParseWlanProfileXml(const wchar_t* xml, std::wstring& ssid, std::wstring& key);

class WlanProfileReader {
public:
    // handle: a WLAN client handle that the caller opened and closes.
    WlanProfileReader(const WlanApi& api, HANDLE handle) noexcept : api_(api), handle_(handle) {}

    // Writes at most 30 usable profiles into profiles (zeroed first), the connected network's
    // marked, and their number into *count. kWlan results.
    int GetProfiles(SavedWlanProfile (*profiles)[kMaxSavedProfiles], int size, unsigned* count);
    // Appends every usable profile of every interface, in order.
    int EnumProfiles(std::vector<SavedWlanProfile>* profiles);
    // The SSIDs of the connected interfaces, joined, one character per byte.
    int GetConnectedSsid(std::wstring& ssid);

private:
    const WlanApi& api_;
    HANDLE handle_;
};

} // namespace vtqeldevc
