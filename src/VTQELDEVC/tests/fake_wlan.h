// The WLAN service in this process: interfaces with their state, connection and saved profiles,
// whose answers the WLAN entry table of the code under test reaches through FakeWlan::Current().
// Every piece of memory it hands out is counted until it is given back.
#pragma once

#include "wlan_profiles.h"

#include <string>
#include <vector>

namespace vtqeldevc::test {

struct FakeProfile {
    std::wstring name;
    std::wstring xml; // empty: WlanGetProfile fails for it
};

struct FakeInterface {
    WLAN_INTERFACE_STATE state = wlan_interface_state_disconnected;
    std::string connected_ssid; // the association's SSID bytes
    ULONG reported_length = 0;  // the length the service reports; 0: the SSID's own
    std::vector<FakeProfile> profiles;
};

class FakeWlan {
public:
    FakeWlan();
    ~FakeWlan();
    FakeWlan(const FakeWlan&) = delete;
    FakeWlan& operator=(const FakeWlan&) = delete;

    static FakeWlan& Current();
    const WlanApi& api() const noexcept { return api_; }

    DWORD open = ERROR_SUCCESS;
    DWORD enumerate = ERROR_SUCCESS;
    std::vector<FakeInterface> interfaces;

    int opened = 0;
    int closed = 0;
    int outstanding = 0;              // memory handed out and not given back
    std::vector<DWORD> profile_flags; // as each WlanGetProfile got them

private:
    WlanApi api_{};
    FakeWlan* previous_ = nullptr;
};

// A saved profile's document as the WLAN service writes it. keyType empty: an open network,
// no shared key at all.
std::wstring ProfileXml(const std::wstring& name, const std::wstring& ssid,
                        const std::wstring& keyType, const std::wstring& isProtected,
                        const std::wstring& key);

// A saved profile of a network with a pass phrase, named after the network unless named.
FakeProfile Usable(const std::wstring& ssid, const std::wstring& key = L"key",
                   const std::wstring& name = L"");
// An interface connected to ssid (its bytes) with its saved profiles.
FakeInterface Connected(const std::string& ssid, std::vector<FakeProfile> profiles = {});

} // namespace vtqeldevc::test
