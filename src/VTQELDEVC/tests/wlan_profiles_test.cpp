// The saved Wi-Fi profiles: documents read by the system's XML reader, and the reader over a
// WLAN service in this process (interfaces, their profiles and connections, memory handed back).
#include "fake_wlan.h"

#include "wlan_profiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vtqeldevc::test {
namespace {

TEST(WlanProfileXmlTest, UsableKeysAreTheUnprotectedPassPhrasesAndNetworkKeys) {
    const auto xml = ProfileXml;
    struct Case {
        const char* name;
        std::wstring document;
        int result;
        std::wstring ssid{};
        std::wstring key{};
    } const cases[] = {
        {"pass phrase, the SSID's name and not the profile's",
         xml(L"profile", L"HomeNet", L"passPhrase", L"false", L"s3cret"), 0, L"HomeNet", L"s3cret"},
        {"network key, any letter case", xml(L"O", L"O 5G", L"NETWORKKEY", L"FALSE", L"01"), 0,
         L"O 5G", L"01"},
        {"entities", xml(L"a", L"a&amp;b", L"passPhrase", L"false", L"&lt;k&#x41;"), 0, L"a&b",
         L"<kA"},
        {"protected key", xml(L"H", L"H", L"passPhrase", L"True", L"01000000D08C"), -1},
        {"open network", xml(L"Cafe", L"Cafe", L"", L"", L""), -1},
        {"another key type", xml(L"E", L"E", L"certificate", L"false", L"x"), -1},
        {"malformed: a closing tag never opened",
         L"<WLANProfile><name>x</name></SSID><sharedKey><keyType>passPhrase</keyType>"
         L"<keyMaterial>k</keyMaterial></sharedKey></WLANProfile>",
         -1},
        {"malformed: no XML", L"keyType=passPhrase keyMaterial=k", -1},
        {"empty", L"", -1},
    };
    for (const auto& c : cases) {
        std::wstring ssid = L"unchanged";
        std::wstring key = L"unchanged";
        EXPECT_EQ(ParseWlanProfileXml(c.document.c_str(), ssid, key), c.result) << c.name;
        EXPECT_EQ(ssid, c.result == 0 ? c.ssid : L"unchanged") << c.name;
        EXPECT_EQ(key, c.result == 0 ? c.key : L"unchanged") << c.name;
    }
    std::wstring ssid;
    EXPECT_EQ(ParseWlanProfileXml(nullptr, ssid, ssid), -2);
}

TEST(WlanProfileReaderTest, ProfilesOfEveryInterfaceWithTheConnectedNetworkMarked) {
    std::vector<FakeProfile> many;
    std::vector<std::wstring> first30;
    for (int i = 0; i < 31; ++i) {
        many.push_back(Usable(L"n" + std::to_wstring(i)));
        if (i < 30) {
            first30.push_back(L"n" + std::to_wstring(i));
        }
    }
    FakeInterface long_ssid = Connected(std::string(32, 'L'), {Usable(std::wstring(32, L'L'))});
    long_ssid.reported_length = 200;
    FakeInterface disconnected = Connected("Home", {Usable(L"Home")});
    disconnected.state = wlan_interface_state_disconnected;
    const FakeProfile open{L"open", ProfileXml(L"o", L"o", L"", L"", L"")};

    struct Case {
        const char* name;
        DWORD enumerate;
        std::vector<FakeInterface> interfaces;
        int result;
        std::vector<std::wstring> ssids{};
        std::vector<std::wstring> keys{};
        std::vector<int> marks{};
    } const cases[] = {
        {"the first of the connected network's marked, the unusable left out",
         ERROR_SUCCESS,
         {Connected("Home", {Usable(L"Cafe"),
                             open,
                             {L"protected", ProfileXml(L"p", L"p", L"passPhrase", L"true", L"x")},
                             {L"unreadable", L""},
                             Usable(L"Home", L"hk"),
                             Usable(L"Home", L"second", L"again")})},
         0,
         {L"Cafe", L"Home", L"Home"},
         {L"key", L"hk", L"second"},
         {0, 1, 0}},
        {"two interfaces in order, their connected SSIDs joined",
         ERROR_SUCCESS,
         {Connected("A", {Usable(L"A")}), Connected("B", {Usable(L"B"), Usable(L"AB")})},
         0,
         {L"A", L"B", L"AB"},
         {L"key", L"key", L"key"},
         {0, 0, 1}},
        {"a disconnected interface marks nothing",
         ERROR_SUCCESS,
         {disconnected},
         0,
         {L"Home"},
         {L"key"},
         {0}},
        {"31 usable: the 31st dropped", ERROR_SUCCESS, {Connected("zz", many)}, 0, first30},
        {"a connected SSID length past 32 is read as 32",
         ERROR_SUCCESS,
         {long_ssid},
         0,
         {std::wstring(32, L'L')},
         {L"key"},
         {1}},
        {"interfaces cannot be listed", ERROR_ACCESS_DENIED, {}, -1},
        {"no interface", ERROR_SUCCESS, {}, -3},
        {"no usable profile", ERROR_SUCCESS, {Connected("x", {open})}, -3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWlan wlan;
        wlan.enumerate = c.enumerate;
        wlan.interfaces = c.interfaces;
        SavedWlanProfile profiles[kMaxSavedProfiles];
        std::memset(profiles, 0x5A, sizeof profiles);
        unsigned count = 12345;
        const int result = WlanProfileReader(wlan.api(), reinterpret_cast<HANDLE>(0x77))
                               .GetProfiles(&profiles, sizeof profiles, &count);
        EXPECT_EQ(result, c.result);
        std::vector<std::wstring> ssids;
        std::vector<std::wstring> keys;
        std::vector<int> marks;
        for (unsigned i = 0; result == 0 && i < kMaxSavedProfiles; ++i) {
            if (i < count) {
                ssids.emplace_back(profiles[i].ssid);
                keys.emplace_back(profiles[i].key);
                marks.push_back(profiles[i].connected);
            } else {
                EXPECT_EQ(profiles[i].ssid[0], L'\0') << "zeroed behind the last";
            }
        }
        EXPECT_EQ(count, result == 0 ? c.ssids.size() : 12345u);
        EXPECT_EQ(ssids, c.ssids);
        if (!c.keys.empty()) {
            EXPECT_EQ(keys, c.keys);
            EXPECT_EQ(marks, c.marks);
        }
        EXPECT_EQ(wlan.outstanding, 0) << "every list and document given back";
        for (const DWORD flags : wlan.profile_flags) {
            EXPECT_EQ(flags, kWlanProfileGetPlaintextKey);
        }
    }
    FakeWlan wlan;
    SavedWlanProfile profiles[kMaxSavedProfiles];
    unsigned count = 0;
    std::vector<SavedWlanProfile> list;
    std::wstring ssid;
    WlanProfileReader reader(wlan.api(), reinterpret_cast<HANDLE>(0x77));
    WlanProfileReader no_handle(wlan.api(), nullptr);
    EXPECT_EQ(reader.GetProfiles(nullptr, 0, &count), -2);
    EXPECT_EQ(reader.GetProfiles(&profiles, 0, nullptr), -2);
    EXPECT_EQ(reader.EnumProfiles(nullptr), -2);
    EXPECT_EQ(no_handle.EnumProfiles(&list), -2);
    EXPECT_EQ(no_handle.GetConnectedSsid(ssid), -2);
}

} // namespace
} // namespace vtqeldevc::test
