// The network and key with which the driver answers a USB printer's Wi-Fi screens: read by the
// world's own library from the world file that the program reads, the default world included.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "testkit/world_wifi.h"
#include "win/module_path.h"

namespace {

TEST(WorldWifi, TheNetworkAndKeyThatTheWorldGivesThePrinter) {
    const std::string seen = R"(
[printer office]
model = VT-X100 Series
ipv4 = 192.168.1.31

[printer open]
model = VT-O1
ap = Open-1 signal -40
ap = Open-2

[printer keyed]
model = VT-K1
ap = Loud signal -30
ap = "Cafe \"Corner\"" signal -60 key "latte \\ foam"
ap = Later key second
)";
    struct Case {
        const char* name;
        const char* world; // null: the default world beside the driver
        const wchar_t* model;
        const wchar_t* printer; // null: none, and why starts with the text below
        const wchar_t* network;
        const wchar_t* key;
    };
    const Case cases[] = {
        {"the default world's USB printer", nullptr, L"VT-M200 Series", L"desk", L"HomeNet",
         L"correct horse"},
        {"no model: the first printer that sees a network", nullptr, L"", L"desk", L"HomeNet",
         L"correct horse"},
        {"the first network whose key is given, quoted", seen.c_str(), L"VT-K1", L"keyed",
         L"Cafe \"Corner\"", L"latte \\ foam"},
        {"no key given: the first network, any key", seen.c_str(), L"VT-O1", L"open", L"Open-1",
         L""},
        {"no model: the first printer that sees a network", seen.c_str(), L"", L"open", L"Open-1",
         L""},
        {"a printer that sees no network", seen.c_str(), L"VT-X100 Series", nullptr,
         L"the world's printer \"office\" sees no network", nullptr},
        {"no printer of the model", seen.c_str(), L"VT-L50 Series", nullptr,
         L"the world has no printer of model \"VT-L50 Series\"", nullptr},
        {"a wrong world", "[printer a]\nnot-a-key = 1\n", L"", nullptr,
         L"the world file cannot be read", nullptr},
    };
    const std::wstring file =
        qelwin::JoinPath(qelwin::ThisModuleFolder(), L"world_wifi_test.world");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring path;
        if (c.world != nullptr) {
            std::ofstream(file.c_str(), std::ios::binary | std::ios::trunc) << c.world;
            path = file;
        }
        std::wstring why;
        const auto wifi = qeltest::WifiOfWorld(path, c.model, &why);
        if (c.printer == nullptr) {
            EXPECT_FALSE(wifi.has_value());
            EXPECT_EQ(why.rfind(c.network, 0), 0u) << std::string(why.begin(), why.end());
            continue;
        }
        ASSERT_TRUE(wifi.has_value()) << std::string(why.begin(), why.end());
        EXPECT_EQ(wifi->printer, c.printer);
        EXPECT_EQ(wifi->network, c.network);
        EXPECT_EQ(wifi->key, c.key);
    }
    ::DeleteFileW(file.c_str());
}

} // namespace
