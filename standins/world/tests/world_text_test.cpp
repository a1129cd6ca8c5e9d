// The world text through the control functions, in this process: what a good description sets
// (read back under the same keys), the error of each kind of mistake with its line, conflicts
// between printers, the startup file, and garbage that must never crash the world.
#include "qelworld/qelworld_control.h"
#include "win/module_path.h"
#include "win/unique_any.h"
#include "world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace qelworld::test {
namespace {

std::string LoadText(const std::string& text, bool replace = true) {
    char error[512] = {};
    const int rc = replace ? QELWORLD_Load(text.c_str(), error, sizeof error)
                           : QELWORLD_Add(text.c_str(), error, sizeof error);
    return rc == 0 ? std::string() : std::string(error);
}

std::string Configure(const char* printer, const char* line) {
    char error[512] = {};
    const int rc = QELWORLD_Configure(printer, line, error, sizeof error);
    return rc == 0 ? std::string() : rc == -1 ? "unknown printer" : std::string(error);
}

std::string Get(const char* printer, const char* key) {
    const int n = QELWORLD_Get(printer, key, nullptr, 0);
    if (n < 0) {
        return "<unknown>";
    }
    std::string value(static_cast<std::size_t>(n) + 1, '\0');
    QELWORLD_Get(printer, key, value.data(), n + 1);
    value.resize(static_cast<std::size_t>(n));
    return value;
}

TEST(WorldTextTest, ADescriptionSetsWhatItsKeysSay) {
    const std::string text = "\xEF\xBB\xBF# a comment\n"
                             "; another\n"
                             "[world]\n"
                             "search-delay-ms = 250\n"
                             "fault = pu2Open fail times always\n"
                             "\n"
                             "[printer office]\r\n"
                             "  model =   VT-X100 Series  \n"
                             "serial = \"SN \\\"7\\\"\"\n"
                             "agreement = agree\n"
                             "set-configuration-without-job = no\n"
                             "cipher-selector = 7\n"
                             "wired-mac = 00:1B:A9:3C:10:01\n"
                             "ipv4 = 192.168.1.31\n"
                             "ipv6 = FE80::1%3\n"
                             "queue = Office Queue\n"
                             "queue = \"Office 2\"\n"
                             "searchable = no\n"
                             "piece-size = 100\n"
                             "fault = pu2Write -8 skip 1 times 2\n"
                             "reply-fault = device GetStatus refuse DeviceBusy times always\n"
                             "\n"
                             "[printer desk]\n"
                             "usb = vtwiduns vtwidwus\n"
                             "bands = 5\n"
                             "internet = with-network\n"
                             "ap = \"Home Net\" signal -40 key \"a b\"\n"
                             "ap = Cafe channel 11 auth 0 bssid 0A0B0C\n";
    ASSERT_EQ(LoadText(text), "");
    struct Check {
        const char* printer;
        const char* key;
        const char* value;
    };
    const Check checks[] = {
        {"", "printers", "office\ndesk"},
        {"", "search-delay-ms", "250"},
        {"", "fault", "pu2Open fail"},
        {"", "search", ""},
        {"", "usb-ports", "USB001"},
        {"", "bus", "desk"},
        {"office", "model", "VT-X100 Series"},
        {"office", "serial", "SN \"7\""},
        {"office", "agreement", "agree"},
        {"office", "set-configuration-without-job", "no"},
        {"office", "cipher-selector", "7"},
        {"office", "wired-mac", "00:1B:A9:3C:10:01"},
        {"office", "wireless-mac", ""}, // none given: wired only
        {"office", "ipv4", "192.168.1.31"},
        {"office", "ipv6", "fe80::1%3"},
        {"office", "on-network", "yes"},
        {"office", "queue", "Office Queue\nOffice 2"},
        {"office", "searchable", "no"},
        {"office", "piece-size", "100"},
        {"office", "fault", "pu2Write -8 skip 1 times 2"},
        {"office", "reply-fault", "device GetStatus refuse DeviceBusy times always"},
        {"office", "usb", "none"},
        {"desk", "usb", "vtwidwus vtwiduns"},
        {"desk", "usb-port", "USB001"},
        {"desk", "plugged", "yes"},
        {"desk", "bands", "5"},
        {"desk", "on-network", "no"},
        {"desk", "internet", "with-network"},
        {"office", "internet", "yes"},
        {"desk", "ap",
         "\"Home Net\" signal -40 channel 6 auth 7 encryption 4 phy 4 bssid 0200B46DEDAD key \"a "
         "b\"\n"
         "Cafe signal -50 channel 11 auth 0 encryption 4 phy 4 bssid 0A0B0C"},
        {"desk", "device-key", "VTUNS#USB001#desk"},
        {"desk", "no such key", "<unknown>"},
        {"nobody", "model", "<unknown>"},
    };
    for (const Check& c : checks) {
        EXPECT_EQ(Get(c.printer, c.key), c.value) << c.printer << " " << c.key;
    }
    // "none" empties a list; lines of the control API change one printer.
    EXPECT_EQ(Configure("office", "queue = none"), "");
    EXPECT_EQ(Configure("office", "ipv6 = none"), "");
    EXPECT_EQ(Configure("office", "searchable = yes"), "");
    EXPECT_EQ(Configure("", "search-delay-ms = 0"), "");
    EXPECT_EQ(Get("office", "queue"), "");
    EXPECT_EQ(Get("", "search"), "192.168.1.31");
    EXPECT_EQ(Get("", "search-ipv6"), "");
    EXPECT_EQ(Get("", "search-delay-ms"), "0");
    EXPECT_EQ(Configure("nobody", "model = x"), "unknown printer");
}

TEST(WorldTextTest, EachMistakeIsReportedWithItsLineAndNothingChanges) {
    struct Case {
        std::string text;
        const char* error;
    };
    const Case cases[] = {
        {"model = x\n", "control:1: 'model' comes before any [world] or [printer <name>] section"},
        {"[printer a]\nmodel x\n",
         "control:2: a line is \"key = value\", a [section] or a # comment"},
        {"[printer a]\n= x\n", "control:2: a key is missing before '='"},
        {"[printer a\n", "control:1: a section header ends with ']'"},
        {"[printers a]\n", "control:1: a section is [world] or [printer <name>]"},
        {"[printer a b]\n", "control:1: 'a b' is no printer name (1 to 64 letters, digits, - _ .)"},
        {"[printer a]\n[printer a]\n", "control:2: printer 'a' is described twice"},
        {"[world]\n[world]\n", "control:2: the [world] section is there twice"},
        {"[world]\nmodel = x\n", "control:2: 'model' is no world key (search-delay-ms, fault)"},
        {"[world]\nsearch-delay-ms = soon\n",
         "control:2: search-delay-ms: 'soon' is not a number from 0 to 600000"},
        {"[printer a]\nmodle = x\n", "control:2: 'modle' is no printer key"},
        {"[printer a]\nipv4 = 192.168.1.300\n",
         "control:2: ipv4: '192.168.1.300' is no IPv4 address"},
        {"[printer a]\nipv4 = fe80::1\n", "control:2: ipv4: 'fe80::1' is no IPv4 address"},
        {"[printer a]\nipv6 = fe80::1%x\n", "control:2: ipv6: 'fe80::1%x' is no IPv6 address"},
        {"[printer a]\nsearchable = maybe\n",
         "control:2: searchable: 'maybe' is neither yes nor no"},
        {"[printer a]\npiece-size = 0\n",
         "control:2: piece-size: '0' is not a number from 1 to 65536"},
        {"[printer a]\nusb-port = USB 1\n",
         "control:2: usb-port: 'USB 1' is no USB port name (letters and digits, at most 9)"},
        {"[printer a]\nusb = serial\n",
         "control:2: usb: 'serial' is none of vtwidwus, vtwiduns, none"},
        {"[printer a]\nbands = 6\n", "control:2: bands: '6' is none of 2.4, 5, none"},
        {"[printer a]\ninternet = sometimes\n",
         "control:2: internet: 'sometimes' is none of yes, no, with-network"},
        {"[printer a]\nap = \"Home\n", "control:2: ap: a quoted text is not closed"},
        {"[printer a]\nap = \"Home\"Net\n", "control:2: ap: a quoted text runs into other text"},
        {"[printer a]\nap = Home strength 3\n",
         "control:2: ap: 'strength' is none of signal, channel, auth, encryption, phy, bssid, key"},
        {"[printer a]\nap = Home signal\n", "control:2: ap: 'signal' needs a value"},
        {"[printer a]\nap = Home bssid 0A0\n",
         "control:2: ap: bssid '0A0' is not 1 to 6 hexadecimal bytes"},
        {"[printer a]\nap = 123456789012345678901234567890123\n",
         "control:2: ap: an access point starts with its network name (1 to 32 bytes)"},
        {"[printer a]\nfault = pu2Write\n",
         "control:2: fault: a fault names an entry and what it does"},
        {"[printer a]\nfault = pu2Writ -8\n",
         "control:2: fault: 'pu2Writ' is no entry of vtmpu2, vtmpu, vtwiduns or vtwidsd"},
        {"[printer a]\nfault = puRead -8\n",
         "control:2: fault: puRead takes no result code, only a word"},
        {"[printer a]\nfault = puWrite close\n",
         "control:2: fault: 'close' is not what puWrite can do (fail, stale)"},
        {"[printer a]\nfault = pu2Write -8 times 0\n",
         "control:2: fault: times '0' is neither always nor a number from 1 to 1000000"},
        {"[printer a]\nfault = pu2Write -8 once\n",
         "control:2: fault: 'once' is neither skip nor times"},
        {"[printer a]\nreply-fault = device GetStatus\n",
         "control:2: reply-fault: a reply fault names a service, an operation and what changes"},
        {"[printer a]\nreply-fault = device GetStatus explode\n",
         "control:2: reply-fault: 'explode' is none of refuse, set, drop, pad, cut, cut-after, "
         "raw, "
         "delay, namespaces, comments-with-gt, corrupt-payload"},
        {"[printer a]\nreply-fault = * * pad lots\n",
         "control:2: reply-fault: 'lots' is not a number from 0 to 1048576"},
        {"[printer a]\nreply-fault = * * set vvt:pdr\n",
         "control:2: reply-fault: set needs a value"},
        {"[printer a]\nserial = \"x\" y\n", "control:2: serial: text after the quoted value"},
        {"[printer a]\nmodel = " + std::string(5000, 'x') + "\n",
         "control:2: a line has at most 4096 bytes"},
        {"[printer a]\nusb-port = USB1\n[printer b]\nusb-port = USB1\n",
         "control: printer 'b': USB port USB1 is taken"},
        {"[printer a]\nqueue = Q\n[printer b]\nqueue = Q\n",
         "control: printer 'b': queue 'Q' is taken"},
        {"[printer a]\nipv6 = fe80::1%2\n[printer b]\nipv6 = FE80:0::1%2\n",
         "control: printer 'b': address fe80:0::1%2 is taken"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(LoadText("[printer kept]\nipv4 = 10.0.0.1\n"), "");
        EXPECT_EQ(LoadText(c.text), c.error);
        EXPECT_EQ(Get("", "printers"), "kept") << c.error;
    }
    // Adding printers to a world checks them against those already there.
    EXPECT_EQ(LoadText("[printer kept]\n", false),
              "control: printer 'kept' is in the world already");
    EXPECT_EQ(LoadText("[printer other]\nipv4 = 10.0.0.1\n", false),
              "control: printer 'other': address 10.0.0.1 is taken");
    EXPECT_EQ(LoadText("[printer other]\nipv4 = 10.0.0.2\n", false), "");
    EXPECT_EQ(Get("", "printers"), "kept\nother");
    EXPECT_EQ(Configure("other", "wifi-address = nowhere"),
              "wifi-address: 'nowhere' is no address");
}

TEST(WorldTextTest, GarbageNeverCrashesTheWorld) {
    const std::string base = "[world]\nsearch-delay-ms = 10\nfault = pu2Read 1 times 2\n"
                             "[printer p]\nmodel = \"M x\"\nipv6 = fe80::1%2\nusb = vtwiduns\n"
                             "ap = \"A b\" signal -3 bssid 0102 key k\n"
                             "reply-fault = device * set vvt:pdr 9 skip 1\n";
    const char alphabet[] = "[]=\"\\%#;\n\r\t -:.0123456789abcdefprinterworldxyz\x01\xff";
    std::mt19937 random(20240611);
    int loaded = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string text = base;
        const int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
            case 0:
                text.erase(at, 1 + random() % 4);
                break;
            case 1:
                text.insert(at, 1, alphabet[random() % (sizeof alphabet - 1)]);
                break;
            default:
                text[at] = alphabet[random() % (sizeof alphabet - 1)];
                break;
            }
        }
        const std::string error = LoadText(text);
        if (error.empty()) {
            ++loaded;
            for (const char* key : {"model", "ipv6", "ap", "fault", "reply-fault", "exchanges"}) {
                Get("p", key);
            }
        } else {
            EXPECT_EQ(error.substr(0, 8), "control:") << text;
        }
    }
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, 3000);
}

TEST(WorldTextTest, TheStartupFileIsNamedByTheEnvironmentOrLiesBesideTheWorld) {
    const std::wstring folder = qelwin::ThisModuleFolder();
    const std::wstring beside = qelwin::JoinPath(folder, L"qelworld.world");
    const std::wstring missing = qelwin::JoinPath(folder, L"no-such-folder");
    struct Case {
        const wchar_t* variable; // null: not set
        const std::wstring* moduleFolder;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"C:\\worlds\\hostile.world", &folder, L"C:\\worlds\\hostile.world"},
        {nullptr, &folder, beside}, // the build puts the default world beside the module
        {nullptr, &missing, L""},
    };
    for (const Case& c : cases) {
        ::SetEnvironmentVariableW(L"QEL_WORLD_FILE", c.variable);
        EXPECT_EQ(StartupFile(*c.moduleFolder), c.expected);
    }
    ::SetEnvironmentVariableW(L"QEL_WORLD_FILE", nullptr);
}

TEST(WorldTextTest, TheDefaultWorldHasNetworkPrintersAndOneOnUsbOnly) {
    const std::wstring path = qelwin::JoinPath(qelwin::ThisModuleFolder(), L"qelworld.world");
    char error[512] = {};
    ASSERT_EQ(QELWORLD_LoadFile(path.c_str(), error, sizeof error), 0) << error;
    EXPECT_EQ(Get("", "printers"), "office\nstudio\nlab\ndesk");
    EXPECT_EQ(Get("", "search"), "192.168.1.31\n192.168.1.32\n192.168.1.33");
    EXPECT_EQ(Get("", "search-ipv6"), "fe80::21b:a9ff:fe3c:1001%2");
    EXPECT_EQ(Get("", "usb-ports"), "USB001");
    EXPECT_EQ(Get("desk", "on-network"), "no");
    EXPECT_EQ(Get("desk", "usb"), "vtwidwus vtwiduns");
}

TEST(WorldTextTest, AFileThatCannotBeReadOrIsNoTextLoadsNothing) {
    ASSERT_EQ(LoadText("[printer kept]\n"), "");
    const std::wstring folder = qelwin::ThisModuleFolder();
    const std::wstring binary = qelwin::JoinPath(folder, L"world_text_test_nul.world");
    {
        qelwin::unique_file file(::CreateFileW(binary.c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        const char bytes[] = "[printer a]\nmodel = a\0b\n";
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.get(), bytes, sizeof bytes - 1, &written, nullptr));
    }
    struct Case {
        std::wstring path;
        const char* error; // the end of the error text
    };
    const Case cases[] = {
        {qelwin::JoinPath(folder, L"missing.world"), "missing.world: cannot be opened (error 2)"},
        {binary, "world_text_test_nul.world: a world description is text; it holds a NUL byte"},
        {folder, "cannot be opened (error 5)"},
    };
    for (const Case& c : cases) {
        char error[512] = {};
        EXPECT_EQ(QELWORLD_LoadFile(c.path.c_str(), error, sizeof error), -2);
        const std::string text = error;
        const std::string end = c.error;
        EXPECT_EQ(text.substr(text.size() - std::min(text.size(), end.size())), end);
        EXPECT_EQ(Get("", "printers"), "kept");
    }
    ::DeleteFileW(binary.c_str());
}

} // namespace
} // namespace qelworld::test
