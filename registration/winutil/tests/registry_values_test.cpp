#include "winutil/registry_values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "testkit/registry_sandbox.h"

namespace {

using qelwinutil::kInstalledDeviceKey;

class RegistryValues : public qeltest::MachineAndUserKeySandbox {
protected:
    void WriteDevice(const std::wstring& device, const std::wstring& subKey,
                     const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) {
        machine_.WriteText(DevicePath(device, subKey), name, text, type);
    }
    void WriteDeviceDword(const std::wstring& device, const std::wstring& subKey,
                          const std::wstring& name, DWORD value) {
        machine_.WriteDword(DevicePath(device, subKey), name, value);
    }
    static std::wstring DevicePath(const std::wstring& device, const std::wstring& subKey) {
        std::wstring path = std::wstring(kInstalledDeviceKey) + L"\\" + device;
        return subKey.empty() ? path : path + L"\\" + subKey;
    }
};

TEST_F(RegistryValues, KeptPageIsStoredWholeAndAnEmptyAddressClearsIt) {
    const std::wstring cases[] = {
        L"https://sim.example/reg?id=1&lang=EN",
        L"https://sim.example/" + std::wstring(600, L'p'),
        L"https://sim.example/" + std::wstring(5000, L'q'),
        L"",
    };
    for (const auto& address : cases) {
        EXPECT_TRUE(qelwinutil::SaveRegUrl(address)) << address.size();
        EXPECT_EQ(qelwinutil::ReadRegUrl(), address) << address.size();
    }
}

TEST_F(RegistryValues, KeptPageOfAnotherTypeOrMissingReadsEmpty) {
    EXPECT_EQ(qelwinutil::ReadRegUrl(), L""); // no key at all
    const DWORD number = 7;
    const BYTE binary[] = {'h', 0, 't', 0, 0, 0};
    const wchar_t expandable[] = L"https://%HOST%/page";
    const wchar_t several[] = L"https://a/\0https://b/\0";
    struct Case {
        DWORD type;
        const void* data;
        DWORD bytes;
        const wchar_t* read;
    };
    const Case cases[] = {{REG_DWORD, &number, sizeof(number), L""},
                          {REG_BINARY, binary, sizeof(binary), L""},
                          {REG_MULTI_SZ, several, sizeof(several), L""},
                          {REG_EXPAND_SZ, expandable, sizeof(expandable), expandable}};
    for (const auto& c : cases) {
        user_.WriteRaw(qelwinutil::kProgramKey, qelwinutil::kRegUrlValue, c.type, c.data, c.bytes);
        EXPECT_EQ(qelwinutil::ReadRegUrl(), c.read) << c.type;
    }
}

TEST_F(RegistryValues, InstalledDeviceWalkTakesTheFirstDeviceThatHoldsTheValue) {
    const std::wstring longUrl = L"https://uf.example/" + std::wstring(700, L'u');
    // Enumerated in name order: Other..., Velto ...-100, Velto ...-200, Velto ...-250.
    WriteDevice(L"Other Model-100", L"SN3", L"UF_URL", L"https://uf.example/other");
    WriteDeviceDword(L"Other Model-100", L"SN3", L"SEND_INFO_AGREE", 0);
    WriteDevice(L"Velto Model-100 series", L"", L"UF_URL", L"https://uf.example/device");
    WriteDevice(L"Velto Model-100 series", L"SN1", L"UF_URL", L"https://uf.example/one");
    WriteDeviceDword(L"Velto Model-100 series", L"SN1", L"SEND_INFO_AGREE", 1);
    WriteDeviceDword(L"Velto Model-100 series", L"SN2", L"UF_URL", 5);
    WriteDevice(L"Velto Model-100 series", L"SN2", L"SEND_INFO_AGREE", L"1");
    WriteDevice(L"Velto Model-200 series", L"SN2", L"UF_URL", longUrl);
    WriteDeviceDword(L"Velto Model-200 series", L"SN2", L"SEND_INFO_AGREE", 2);
    WriteDevice(L"Velto Model-250 series", L"SN2", L"UF_URL", L"https://uf.example/later");
    WriteDeviceDword(L"Velto Model-250 series", L"SN2", L"SEND_INFO_AGREE", 1);
    WriteDevice(L"Velto Model-250 series", L"SN4", L"UF_URL", L"https://uf.example/%x%",
                REG_EXPAND_SZ);
    const BYTE binary[] = {'h', 0, 0, 0};
    machine_.WriteRaw(DevicePath(L"Velto Model-250 series", L"SN5"), L"UF_URL", REG_BINARY, binary,
                      sizeof(binary));

    struct Case {
        const wchar_t* device;
        const wchar_t* subKey;
        std::wstring ufUrl;
        std::optional<DWORD> agree;
    };
    const Case cases[] = {
        {L"Model-100", L"SN1", L"https://uf.example/one", 1},
        {L"Model-100", L"SN3", L"https://uf.example/other", 0}, // first in order wins
        {L"Model-", L"SN2", longUrl, 2},             // wrong types skipped; 2 ends the walk
        {L"", L"SN1", L"https://uf.example/one", 1}, // an empty text matches every device
        {L"Model-100", L"", L"https://uf.example/device", std::nullopt},
        {L"model-100", L"SN1", L"", std::nullopt}, // case-sensitive
        {L"Model-300", L"SN1", L"", std::nullopt},
        {L"Model-250", L"SN4", L"https://uf.example/%x%", std::nullopt}, // as stored
        {L"Model-250", L"SN5", L"", std::nullopt},                       // not a text
        {L"Model-100", L"SN9", L"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.device) + L" / " + c.subKey));
        EXPECT_EQ(qelwinutil::FindInstalledDeviceUfUrl(c.device, c.subKey), c.ufUrl);
        EXPECT_EQ(qelwinutil::FindInstalledDeviceSendInfoAgree(c.device, c.subKey), c.agree);
    }
}

TEST_F(RegistryValues, NoInstalledDevicesFindsNothing) {
    EXPECT_EQ(qelwinutil::FindInstalledDeviceUfUrl(L"", L"SN1"), L"");
    EXPECT_EQ(qelwinutil::FindInstalledDeviceSendInfoAgree(L"", L"SN1"), std::nullopt);
}

} // namespace
