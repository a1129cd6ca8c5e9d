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
    struct Case {
        const char* name;
        std::wstring xml;
        int result;
        std::wstring ssid{};
        std::wstring key{};
    } const cases[] = {
        {"pass phrase", ProfileXml(L"Home", L"HomeNet", L"passPhrase", L"false", L"s3cret pass"), 0,
         L"HomeNet", L"s3cret pass"},
        {"network key, other letter case",
         ProfileXml(L"Office", L"Office 5G", L"NETWORKKEY", L"FALSE", L"0123456789"), 0,
         L"Office 5G", L"0123456789"},
        {"the SSID's name, not the profile's",
         ProfileXml(L"profile", L"net", L"passphrase", L"false", L"k"), 0, L"net", L"k"},
        {"protected key", ProfileXml(L"Home", L"HomeNet", L"passPhrase", L"True", L"01000000D08C"),
         -1},
        {"open network", ProfileXml(L"Cafe", L"Cafe", L"", L"", L""), -1},
        {"another key type", ProfileXml(L"Ent", L"Ent", L"certificate", L"false", L"x"), -1},
        {"markup entities and a character reference",
         ProfileXml(L"a&amp;b", L"a&amp;b", L"passPhrase", L"false", L"&lt;k&#x41;&gt;"), 0, L"a&b",
         L"<kA>"},
        {"malformed: a closing tag that was never opened",
         L"<WLANProfile><name>x</name></SSID><sharedKey><keyType>passPhrase</keyType>"
         L"<keyMaterial>k</keyMaterial></sharedKey></WLANProfile>",
         -1},
        {"malformed: not XML at all", L"keyType=passPhrase keyMaterial=k", -1},
        {"empty document", L"", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring ssid = L"unchanged";
        std::wstring key = L"unchanged";
        EXPECT_EQ(ParseWlanProfileXml(c.xml.c_str(), ssid, key), c.result);
        EXPECT_EQ(ssid, c.result == 0 ? c.ssid : L"unchanged");
        EXPECT_EQ(key, c.result == 0 ? c.key : L"unchanged");
    }
    std::wstring ssid;
    std::wstring key;
    EXPECT_EQ(ParseWlanProfileXml(nullptr, ssid, key), -2);
}

FakeProfile Usable(const std::wstring& ssid, const std::wstring& key = L"key") {
    return {L"profile " + ssid, ProfileXml(ssid, ssid, L"passPhrase", L"false", key)};
}

FakeInterface Connected(const std::string& ssid, std::vector<FakeProfile> profiles = {}) {
    FakeInterface face;
    face.state = wlan_interface_state_connected;
    face.connected_ssid = ssid;
    face.profiles = std::move(profiles);
    return face;
}

struct Read {
    int result = 0;
    std::vector<std::wstring> ssids{};
    std::vector<std::wstring> keys{};
    std::vector<int> marks{};
};

Read ReadProfiles(FakeWlan& wlan) {
    SavedWlanProfile profiles[kMaxSavedProfiles];
    std::memset(profiles, 0x5A, sizeof profiles);
    unsigned count = 12345;
    Read read;
    read.result = WlanProfileReader(wlan.api(), reinterpret_cast<HANDLE>(0x77))
                      .GetProfiles(&profiles, sizeof profiles, &count);
    if (read.result == 0) {
        for (unsigned i = 0; i < count; ++i) {
            read.ssids.emplace_back(profiles[i].ssid);
            read.keys.emplace_back(profiles[i].key);
            read.marks.push_back(profiles[i].connected);
        }
        for (unsigned i = count; i < kMaxSavedProfiles; ++i) {
            EXPECT_EQ(profiles[i].ssid[0], L'\0') << "the array is zeroed first";
        }
    } else {
        EXPECT_EQ(count, 12345u) << "no count on failure";
    }
    return read;
}

TEST(WlanProfileReaderTest, ProfilesOfEveryInterfaceWithTheConnectedNetworkMarked) {
    std::vector<FakeProfile> many;
    for (int i = 0; i < 31; ++i) {
        many.push_back(Usable(L"n" + std::to_wstring(i)));
    }
    std::vector<std::wstring> first30;
    for (int i = 0; i < 30; ++i) {
        first30.push_back(L"n" + std::to_wstring(i));
    }
    FakeInterface long_ssid = Connected(std::string(32, 'L'), {Usable(std::wstring(32, L'L'))});
    long_ssid.reported_length = 200;
    FakeInterface disconnected;
    disconnected.profiles = {Usable(L"Home")};
    disconnected.connected_ssid = "Home";

    struct Case {
        const char* name;
        DWORD enumerate;
        std::vector<FakeInterface> interfaces;
        Read expected;
    } const cases[] = {
        {"the connected one marked, the unusable left out",
         ERROR_SUCCESS,
         {Connected("Home", {Usable(L"Cafe"),
                             {L"open", ProfileXml(L"open", L"open", L"", L"", L"")},
                             {L"protected", ProfileXml(L"p", L"p", L"passPhrase", L"true", L"x")},
                             {L"unreadable", L""},
                             Usable(L"Home", L"home key"),
                             {L"second Home",
                              ProfileXml(L"x", L"Home", L"passPhrase", L"false", L"second")}})},
         {0, {L"Cafe", L"Home", L"Home"}, {L"key", L"home key", L"second"}, {0, 1, 0}}},
        {"two interfaces: profiles in order, the connected SSIDs joined",
         ERROR_SUCCESS,
         {Connected("A", {Usable(L"A")}), Connected("B", {Usable(L"B"), Usable(L"AB")})},
         {0, {L"A", L"B", L"AB"}, {L"key", L"key", L"key"}, {0, 0, 1}}},
        {"a disconnected interface marks nothing",
         ERROR_SUCCESS,
         {disconnected},
         {0, {L"Home"}, {L"key"}, {0}}},
        {"31 usable: the 31st dropped", ERROR_SUCCESS, {Connected("zz", many)}, {0, first30}},
        {"a connected SSID length past 32 bytes is read as 32",
         ERROR_SUCCESS,
         {long_ssid},
         {0, {std::wstring(32, L'L')}, {L"key"}, {1}}},
        {"interfaces cannot be listed", ERROR_ACCESS_DENIED, {}, {-1}},
        {"no interface", ERROR_SUCCESS, {}, {-3}},
        {"no usable profile",
         ERROR_SUCCESS,
         {Connected("x", {{L"open", ProfileXml(L"o", L"o", L"", L"", L"")}})},
         {-3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWlan wlan;
        wlan.enumerate = c.enumerate;
        wlan.interfaces = c.interfaces;
        const Read read = ReadProfiles(wlan);
        EXPECT_EQ(read.result, c.expected.result);
        EXPECT_EQ(read.ssids, c.expected.ssids);
        if (!c.expected.keys.empty()) {
            EXPECT_EQ(read.keys, c.expected.keys);
            EXPECT_EQ(read.marks, c.expected.marks);
        }
        EXPECT_EQ(wlan.outstanding, 0) << "every list and document given back";
        for (const DWORD flags : wlan.profile_flags) {
            EXPECT_EQ(flags, kWlanProfileGetPlaintextKey);
        }
    }
}

TEST(WlanProfileReaderTest, MissingArgumentsAndNoHandle) {
    FakeWlan wlan;
    WlanProfileReader reader(wlan.api(), reinterpret_cast<HANDLE>(0x77));
    SavedWlanProfile profiles[kMaxSavedProfiles];
    unsigned count = 0;
    EXPECT_EQ(reader.GetProfiles(nullptr, 0, &count), -2);
    EXPECT_EQ(reader.GetProfiles(&profiles, 0, nullptr), -2);
    EXPECT_EQ(reader.EnumProfiles(nullptr), -2);
    WlanProfileReader no_handle(wlan.api(), nullptr);
    std::vector<SavedWlanProfile> list;
    std::wstring ssid;
    EXPECT_EQ(no_handle.EnumProfiles(&list), -2);
    EXPECT_EQ(no_handle.GetConnectedSsid(ssid), -2);
}

} // namespace
} // namespace vtqeldevc::test
