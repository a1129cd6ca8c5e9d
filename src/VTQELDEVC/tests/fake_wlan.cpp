#include "fake_wlan.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <stdexcept>
#include <utility>

namespace vtqeldevc::test {
namespace {

FakeWlan* g_current = nullptr;

FakeWlan& W() {
    return FakeWlan::Current();
}

HANDLE const kClient = reinterpret_cast<HANDLE>(0x77);

void* Hand(std::size_t bytes) {
    void* memory = std::calloc(1, bytes);
    if (memory != nullptr) {
        ++W().outstanding;
    }
    return memory;
}

GUID GuidOf(std::size_t index) {
    GUID guid{};
    guid.Data1 = static_cast<unsigned long>(0x1000 + index);
    return guid;
}

const FakeInterface* InterfaceOf(const GUID* guid) {
    const std::size_t index = guid->Data1 - 0x1000;
    return index < W().interfaces.size() ? &W().interfaces[index] : nullptr;
}

DWORD WINAPI Open(DWORD, PVOID, PDWORD version, PHANDLE handle) {
    if (W().open != ERROR_SUCCESS) {
        return W().open;
    }
    ++W().opened;
    *version = 2;
    *handle = kClient;
    return ERROR_SUCCESS;
}

DWORD WINAPI Close(HANDLE handle, PVOID) {
    W().closed += handle == kClient ? 1 : 0;
    return ERROR_SUCCESS;
}

DWORD WINAPI EnumInterfaces(HANDLE, PVOID, PWLAN_INTERFACE_INFO_LIST* list) {
    if (W().enumerate != ERROR_SUCCESS) {
        return W().enumerate;
    }
    const std::size_t n = W().interfaces.size();
    auto* out = static_cast<WLAN_INTERFACE_INFO_LIST*>(
        Hand(sizeof(WLAN_INTERFACE_INFO_LIST) + n * sizeof(WLAN_INTERFACE_INFO)));
    out->dwNumberOfItems = static_cast<DWORD>(n);
    for (std::size_t i = 0; i < n; ++i) {
        out->InterfaceInfo[i].InterfaceGuid = GuidOf(i);
        out->InterfaceInfo[i].isState = W().interfaces[i].state;
    }
    *list = out;
    return ERROR_SUCCESS;
}

DWORD WINAPI GetProfileList(HANDLE, const GUID* guid, PVOID, PWLAN_PROFILE_INFO_LIST* list) {
    const FakeInterface* face = InterfaceOf(guid);
    if (face == nullptr) {
        return ERROR_NOT_FOUND;
    }
    const std::size_t n = face->profiles.size();
    auto* out = static_cast<WLAN_PROFILE_INFO_LIST*>(
        Hand(sizeof(WLAN_PROFILE_INFO_LIST) + n * sizeof(WLAN_PROFILE_INFO)));
    out->dwNumberOfItems = static_cast<DWORD>(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::wcsncpy(out->ProfileInfo[i].strProfileName, face->profiles[i].name.c_str(), 255);
    }
    *list = out;
    return ERROR_SUCCESS;
}

DWORD WINAPI GetProfile(HANDLE, const GUID* guid, LPCWSTR name, PVOID, LPWSTR* xml, DWORD* flags,
                        PDWORD) {
    W().profile_flags.push_back(*flags);
    const FakeInterface* face = InterfaceOf(guid);
    for (const FakeProfile& p : face != nullptr ? face->profiles : std::vector<FakeProfile>{}) {
        if (p.name == name && !p.xml.empty()) {
            auto* text = static_cast<wchar_t*>(Hand((p.xml.size() + 1) * sizeof(wchar_t)));
            std::wmemcpy(text, p.xml.c_str(), p.xml.size() + 1);
            *xml = text;
            return ERROR_SUCCESS;
        }
    }
    return ERROR_NOT_FOUND;
}

DWORD WINAPI QueryInterface(HANDLE, const GUID* guid, WLAN_INTF_OPCODE opcode, PVOID, PDWORD size,
                            PVOID* data, PWLAN_OPCODE_VALUE_TYPE) {
    const FakeInterface* face = InterfaceOf(guid);
    if (face == nullptr || opcode != wlan_intf_opcode_current_connection) {
        return ERROR_INVALID_PARAMETER;
    }
    auto* out = static_cast<WLAN_CONNECTION_ATTRIBUTES*>(Hand(sizeof(WLAN_CONNECTION_ATTRIBUTES)));
    DOT11_SSID& ssid = out->wlanAssociationAttributes.dot11Ssid;
    const std::size_t n = std::min<std::size_t>(face->connected_ssid.size(), sizeof(ssid.ucSSID));
    std::memcpy(ssid.ucSSID, face->connected_ssid.data(), n);
    ssid.uSSIDLength = face->reported_length != 0 ? face->reported_length : static_cast<ULONG>(n);
    *size = sizeof(WLAN_CONNECTION_ATTRIBUTES);
    *data = out;
    return ERROR_SUCCESS;
}

VOID WINAPI FreeMemory(PVOID memory) {
    if (memory != nullptr) {
        --W().outstanding;
        std::free(memory);
    }
}

} // namespace

FakeWlan::FakeWlan() {
    api_.WlanOpenHandle = Open;
    api_.WlanCloseHandle = Close;
    api_.WlanEnumInterfaces = EnumInterfaces;
    api_.WlanGetProfileList = GetProfileList;
    api_.WlanGetProfile = GetProfile;
    api_.WlanQueryInterface = QueryInterface;
    api_.WlanFreeMemory = FreeMemory;
    previous_ = std::exchange(g_current, this);
}

FakeWlan::~FakeWlan() {
    g_current = previous_;
}

FakeWlan& FakeWlan::Current() {
    if (g_current == nullptr) {
        throw std::logic_error("a WLAN entry was called without a fake service");
    }
    return *g_current;
}

std::wstring ProfileXml(const std::wstring& name, const std::wstring& ssid,
                        const std::wstring& keyType, const std::wstring& isProtected,
                        const std::wstring& key) {
    std::wstring xml =
        L"<?xml version=\"1.0\"?>\n"
        L"<WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">\n"
        L"\t<name>" +
        name +
        L"</name>\n"
        L"\t<SSIDConfig>\n\t\t<SSID>\n\t\t\t<hex>00</hex>\n\t\t\t<name>" +
        ssid +
        L"</name>\n\t\t</SSID>\n\t</SSIDConfig>\n"
        L"\t<connectionType>ESS</connectionType>\n"
        L"\t<MSM>\n\t\t<security>\n\t\t\t<authEncryption>\n"
        L"\t\t\t\t<authentication>" +
        std::wstring(keyType.empty() ? L"open" : L"WPA2PSK") +
        L"</authentication>\n\t\t\t\t<encryption>AES</encryption>\n"
        L"\t\t\t</authEncryption>\n";
    if (!keyType.empty()) {
        xml += L"\t\t\t<sharedKey>\n\t\t\t\t<keyType>" + keyType +
               L"</keyType>\n\t\t\t\t<protected>" + isProtected +
               L"</protected>\n\t\t\t\t<keyMaterial>" + key +
               L"</keyMaterial>\n\t\t\t</sharedKey>\n";
    }
    xml += L"\t\t</security>\n\t</MSM>\n</WLANProfile>\n";
    return xml;
}

FakeProfile Usable(const std::wstring& ssid, const std::wstring& key, const std::wstring& name) {
    return {name.empty() ? ssid : name, ProfileXml(ssid, ssid, L"passPhrase", L"false", key)};
}

FakeInterface Connected(const std::string& ssid, std::vector<FakeProfile> profiles) {
    FakeInterface face;
    face.state = wlan_interface_state_connected;
    face.connected_ssid = ssid;
    face.profiles = std::move(profiles);
    return face;
}

} // namespace vtqeldevc::test
