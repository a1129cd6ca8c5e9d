// The Wi-Fi recovery dialogs under the robot: their texts (the text-id library shows each as its
// number), layout, fonts, focus and answers; the network-name dialog's list, key limit, key mask
// and outputs; and one recovery through the real dialogs, boxes and progress dialogs over the
// scripted device library. Pictures of each dialog go to the test artifacts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "printerutil_testing/fake_device_library.h"
#include "qelinfo/ApplicationInfo.h"
#include "resource.h"
#include "testkit/dialog_robot.h"
#include "testkit/fake_system.h"
#include "testkit/layout_checks.h"
#include "testkit/text_ids.h"
#include "ui/dialog_font.h"
#include "ui/dialog_stack.h"
#include "wifi/connect_failed_dialog.h"
#include "wifi/screen_recovery.h"
#include "wifi/ssid_dialog.h"
#include "wifi/wifi_confirm_dialog.h"

namespace {

using qeltest::DialogView;
using qeltest::ExpectFont;
using qeltest::ExpectPlace;
using qeltest::TextId;
using namespace qelwifi;

class WifiDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(texts_.Load(qeltest::kTextIdsLanguage));
        facts_.SetLaunchContext(true, true, L"VZ Printer 500", L"SN0042", L"EN", L"asia", L"JP",
                                L"1", 1, 0);
    }
    qelui::TextLibrary texts_;
    qelinfo::ApplicationInfo facts_;
};

// Saves a picture when a name is given, then presses the button (0: Escape).
void AnswerWithPicture(const DialogView& v, int press, const wchar_t* picture) {
    if (picture != nullptr) {
        EXPECT_TRUE(v.Screenshot(picture));
    }
    if (press == 0) {
        v.Key(VK_ESCAPE);
    } else {
        v.Click(press);
    }
}

// Each control shows its text number.
void ExpectTexts(const DialogView& v, std::initializer_list<std::pair<int, int>> texts) {
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(v.Text(id), TextId(text)) << "control " << id;
    }
}

int LineHeight(const DialogView& v) {
    return ::MulDiv(9, qelui::PixelsPerInchY(v.Handle()), 72) + 4;
}

// What the three dialogs share: the frame, the client area, the message and the line above the
// buttons, each button on the row with its font.
void ExpectCommonLayout(const DialogView& v, int messageText, std::vector<int> buttons) {
    const LONG_PTR frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(v.DialogStyle() & frame, frame);
    EXPECT_EQ(v.ClientSize().cx, 600);
    EXPECT_EQ(v.ClientSize().cy, 320 - ::GetSystemMetrics(SM_CYSIZE));
    EXPECT_EQ(v.Caption(), TextId(10001));
    EXPECT_EQ(v.Text(IDC_WIFI_MESSAGE), TextId(messageText));
    const int line = LineHeight(v);
    ExpectPlace(v, IDC_WIFI_MESSAGE, 20, 20, 560, 2 * line);
    ExpectFont(v, IDC_WIFI_MESSAGE, 9, FW_BOLD);
    ExpectPlace(v, IDC_SEPARATOR, 0, 240, 600, 1);
    EXPECT_NE(v.Style(IDC_SEPARATOR) & SS_BITMAP, 0);
    for (int id : buttons) {
        EXPECT_EQ(v.Rect(id).top, 4 * line + 194) << id;
        EXPECT_EQ(v.Rect(id).bottom - v.Rect(id).top, 25) << id;
        EXPECT_NE(v.Style(id) & WS_TABSTOP, 0) << id;
        ExpectFont(v, id, 10, FW_NORMAL);
    }
    EXPECT_NE(v.Style(buttons.front()) & BS_DEFPUSHBUTTON, 0);
}

TEST_F(WifiDialogTest, ConfirmationShowsPrinterAndNetworkAndAnswersWithTheButton) {
    struct Case {
        const char* what;
        bool texts;
        int press; // 0: Escape
        INT_PTR result;
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {"OK", true, IDC_WIFI_OK, kConfirmUseNetwork, L"wifi-confirm.bmp"},
        {"Cancel", true, IDC_WIFI_CANCEL, kCancel, nullptr},
        {"manual setup", true, IDC_WIFI_MANUAL, kManualSetup, nullptr},
        {"Escape", true, 0, kClosed, nullptr},
        {"no text library: printer and network still shown", false, IDC_WIFI_OK,
         kConfirmUseNetwork, nullptr},
    };
    const std::wstring ssid = L"Home Net (2.4)";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_WIFI_PRINTER, "read and answer", [&](DialogView& v) {
            EXPECT_EQ(v.Text(IDC_WIFI_PRINTER), L"VZ Printer 500(SN0042)");
            EXPECT_EQ(v.Text(IDC_WIFI_NETWORK), ssid);
            EXPECT_TRUE(v.Focused(IDC_WIFI_OK));
            if (c.texts) {
                ExpectCommonLayout(v, 17002, {IDC_WIFI_OK, IDC_WIFI_CANCEL, IDC_WIFI_MANUAL});
                ExpectTexts(v, {{IDC_WIFI_UPPER_LABEL, 17007},
                                {IDC_WIFI_NETWORK_LABEL, 17008},
                                {IDC_WIFI_OK, 10002},
                                {IDC_WIFI_CANCEL, 10003},
                                {IDC_WIFI_MANUAL, 17009}});
                ExpectPlace(v, IDC_WIFI_UPPER_LABEL, 20, 60, 170, 20);
                ExpectPlace(v, IDC_WIFI_NETWORK_LABEL, 20, 80, 170, 20);
                ExpectPlace(v, IDC_WIFI_PRINTER, 190, 60, 400, 20);
                ExpectPlace(v, IDC_WIFI_NETWORK, 190, 80, 400, 20);
                EXPECT_EQ(v.Rect(IDC_WIFI_OK).left, 44);
                EXPECT_EQ(v.Rect(IDC_WIFI_CANCEL).left, 227);
                EXPECT_EQ(v.Rect(IDC_WIFI_MANUAL).left, 410);
                EXPECT_EQ(v.Rect(IDC_WIFI_MANUAL).right, 580);
                ExpectFont(v, IDC_WIFI_UPPER_LABEL, 9, FW_NORMAL);
                ExpectFont(v, IDC_WIFI_PRINTER, 9, FW_NORMAL);
            } else {
                EXPECT_EQ(v.Caption(), L"Wi-Fi");
            }
            AnswerWithPicture(v, c.press, c.screenshot);
        });
        WifiConfirmDialog dialog(c.texts ? &texts_ : nullptr);
        dialog.SetData(&facts_, &ssid);
        EXPECT_EQ(dialog.DoModal(nullptr), c.result);
        EXPECT_EQ(qelui::DialogStack::Instance().size(), 1u);
    }
}

AccessPointBuffer Names(std::initializer_list<const wchar_t*> names) {
    AccessPointBuffer buffer{};
    std::size_t i = 0;
    for (const wchar_t* name : names) {
        wcsncpy(buffer[i++].ssid, name, 32);
    }
    return buffer;
}

TEST_F(WifiDialogTest, NetworkNameDialogOffersTheNamesAndHandsBackTheChoice) {
    const std::wstring typed(70, L'k'); // more than the key field takes
    const std::wstring limited(64, L'k');
    AccessPointBuffer hundredAndMore{};
    for (std::size_t i = 0; i < hundredAndMore.size(); ++i) {
        wcsncpy(hundredAndMore[i].ssid, (L"AP" + std::to_wstring(i)).c_str(), 32);
    }
    struct Case {
        const char* what;
        AccessPointBuffer list;
        int count; // the records given
        bool notSeen;
        int select;     // entry to select; -1: leave the first
        int press;      // 0: Escape
        INT_PTR result;
        std::vector<std::wstring> offered; // first and last of the combo, and how many
        std::size_t offeredCount;
        std::wstring name;
        std::wstring key;
        const wchar_t* screenshot;
    };
    const auto cafe = Names({L"HomeNet", L"Cafe Corner", L"", L"after the end"});
    const Case cases[] = {
        {"PC network not seen: second entry chosen", cafe, 100, true, 1, IDC_SSID_OK,
         kNetworkChosen, {L"HomeNet", L"Cafe Corner"}, 2, L"Cafe Corner", limited,
         L"wifi-ssid-not-seen.bmp"},
        {"manual setup: first entry kept", cafe, 100, false, -1, IDC_SSID_OK, kNetworkChosen,
         {L"HomeNet", L"Cafe Corner"}, 2, L"HomeNet", limited, L"wifi-ssid-manual.bmp"},
        {"Escape leaves the outputs empty", cafe, 100, false, -1, 0, kClosed,
         {L"HomeNet", L"Cafe Corner"}, 2, L"", L"", nullptr},
        {"Cancel leaves the outputs empty", cafe, 100, true, -1, IDC_SSID_CANCEL, kNetworkCancel,
         {L"HomeNet", L"Cafe Corner"}, 2, L"", L"", nullptr},
        {"no names: OK gives an empty name", AccessPointBuffer{}, 100, true, -1, IDC_SSID_OK,
         kNetworkChosen, {}, 0, L"", limited, nullptr},
        {"a full buffer: all 100", hundredAndMore, 100, false, 99, IDC_SSID_OK, kNetworkChosen,
         {L"AP0", L"AP99"}, 100, L"AP99", limited, nullptr},
        {"fewer records given than the buffer holds", hundredAndMore, 3, false, -1, IDC_SSID_OK,
         kNetworkChosen, {L"AP0", L"AP2"}, 3, L"AP0", limited, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring name;
        std::wstring key;
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_SSID_NAME, "read the dialog, type a key too long", [&](DialogView& v) {
            ExpectCommonLayout(v, c.notSeen ? 17005 : 17006, {IDC_SSID_OK, IDC_SSID_CANCEL});
            ExpectTexts(v, {{IDC_WIFI_UPPER_LABEL, 17008},
                            {IDC_WIFI_KEY_LABEL, 17014},
                            {IDC_SSID_SHOW_KEY, 17015},
                            {IDC_SSID_OK, 10002},
                            {IDC_SSID_CANCEL, 10003}});
            ExpectPlace(v, IDC_WIFI_UPPER_LABEL, 20, 60, 140, 30);
            ExpectPlace(v, IDC_WIFI_KEY_LABEL, 20, 90, 140, 30);
            ExpectFont(v, IDC_WIFI_KEY_LABEL, 9, FW_NORMAL);
            EXPECT_EQ(v.Rect(IDC_SSID_NAME).left, 160);
            EXPECT_EQ(v.Rect(IDC_SSID_NAME).top, 58);
            EXPECT_EQ(v.Rect(IDC_SSID_NAME).right, 560);
            ExpectPlace(v, IDC_SSID_KEY, 160, 88, 400, 20);
            ExpectPlace(v, IDC_SSID_SHOW_KEY, 160, 108, 400, 20);
            EXPECT_EQ(v.Rect(IDC_SSID_OK).left, 267);
            EXPECT_EQ(v.Rect(IDC_SSID_CANCEL).left, 430);
            EXPECT_EQ(v.Rect(IDC_SSID_CANCEL).right, 580);
            EXPECT_TRUE(v.Focused(IDC_SSID_NAME));
            HWND combo = ::GetDlgItem(v.Handle(), IDC_SSID_NAME);
            // Left to right: a network name keeps its punctuation where it was typed.
            EXPECT_EQ(::GetWindowLongPtrW(combo, GWL_EXSTYLE) & WS_EX_RTLREADING, 0);
            EXPECT_EQ(v.Style(IDC_SSID_NAME) & 0x3, CBS_DROPDOWNLIST);
            const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
            EXPECT_EQ(count, static_cast<LRESULT>(c.offeredCount));
            if (!c.offered.empty()) {
                EXPECT_EQ(v.Text(IDC_SSID_NAME), c.offered.front());
                wchar_t last[64] = {};
                ::SendMessageW(combo, CB_GETLBTEXT, count - 1, reinterpret_cast<LPARAM>(last));
                EXPECT_EQ(std::wstring(last), c.offered.back());
            } else {
                EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
            }
            if (c.select >= 0) {
                ::SendMessageW(combo, CB_SETCURSEL, c.select, 0);
            }
            const LONG_PTR edit = ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP;
            EXPECT_EQ(v.Style(IDC_SSID_KEY) & edit, edit);
            EXPECT_TRUE(v.HasBorder(IDC_SSID_KEY));
            EXPECT_NE(::SendDlgItemMessageW(v.Handle(), IDC_SSID_KEY, EM_GETPASSWORDCHAR, 0, 0), 0);
            EXPECT_FALSE(v.Checked(IDC_SSID_SHOW_KEY));
            v.Type(IDC_SSID_KEY, typed);
        });
        robot.ThenOn(IDC_SSID_NAME, "the key stops at 64; show it", [&](DialogView& v) {
            EXPECT_EQ(v.Text(IDC_SSID_KEY), limited);
            v.Click(IDC_SSID_SHOW_KEY);
        });
        robot.ThenOn(IDC_SSID_NAME, "shown in clear; mask it again", [&](DialogView& v) {
            EXPECT_TRUE(v.Checked(IDC_SSID_SHOW_KEY));
            EXPECT_EQ(::SendDlgItemMessageW(v.Handle(), IDC_SSID_KEY, EM_GETPASSWORDCHAR, 0, 0), 0);
            v.Click(IDC_SSID_SHOW_KEY);
        });
        robot.ThenOn(IDC_SSID_NAME, "masked with the black circle; answer", [&](DialogView& v) {
            EXPECT_FALSE(v.Checked(IDC_SSID_SHOW_KEY));
            EXPECT_EQ(::SendDlgItemMessageW(v.Handle(), IDC_SSID_KEY, EM_GETPASSWORDCHAR, 0, 0),
                      SsidDialog::kMaskCharacter);
            AnswerWithPicture(v, c.press, c.screenshot);
        });
        SsidDialog dialog(&texts_);
        dialog.SetApList(&facts_, c.list.data(), c.count, &name, &key, c.notSeen);
        EXPECT_EQ(dialog.DoModal(nullptr), c.result);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(key, c.key);
    }
}

TEST_F(WifiDialogTest, ConnectFailedOffersManualSetupOrCancel) {
    struct Case {
        const char* what;
        int press; // 0: Escape
        INT_PTR result;
        const wchar_t* screenshot;
    };
    const Case cases[] = {{"manual setup", IDC_WIFI_MANUAL, kManualSetup, L"wifi-failed.bmp"},
                          {"Cancel", IDC_WIFI_CANCEL, kCancel, nullptr},
                          {"Escape", 0, kClosed, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_WIFI_MANUAL, "read and answer", [&](DialogView& v) {
            ExpectCommonLayout(v, 17004, {IDC_WIFI_MANUAL, IDC_WIFI_CANCEL});
            ExpectTexts(v, {{IDC_WIFI_MANUAL, 17009}, {IDC_WIFI_CANCEL, 10003}});
            EXPECT_EQ(v.Rect(IDC_WIFI_MANUAL).left, 227);
            EXPECT_EQ(v.Rect(IDC_WIFI_CANCEL).left, 410);
            EXPECT_EQ(v.Rect(IDC_WIFI_CANCEL).right, 580);
            EXPECT_TRUE(v.Focused(IDC_WIFI_MANUAL));
            AnswerWithPicture(v, c.press, c.screenshot);
        });
        ConnectFailedDialog dialog(&texts_, &facts_);
        EXPECT_EQ(dialog.DoModal(nullptr), c.result);
    }
}

// A USB printer the scripted device library finds, with the access points it sees.
printerutil::testing::DeviceScript UsbPrinterScript() {
    printerutil::testing::DeviceScript script;
    script.devices = {printerutil::testing::MakeDeviceInfo(L"VZ Printer 500", L"SN0042", L"1", 1,
                                                           1, 1, 2)};
    script.accessPoints = {L"HomeNet", L"Cafe Corner"};
    return script;
}

RecoveryPrinter UsbPrinter() {
    RecoveryPrinter printer;
    printer.connection.kind = 2;
    printer.modelName = L"VZ Printer 500";
    printer.serialNumber = L"SN0042";
    return printer;
}

TEST_F(WifiDialogTest, ARecoveryRunsThroughTheRealScreensAndDeviceSteps) {
    const std::string search =
        "SearchDevices 1|GetDeviceList 1|SearchAccessPoints 2|GetAccessPointList size|"
        "GetAccessPointList names";
    const std::string searchBeforeApply = "SearchDevices 1|GetDeviceList 1|SearchAccessPoints 2";
    printerutil::testing::FakeDeviceLibrary library;
    library.script = UsbPrinterScript();
    qeltest::FakeSystem system;
    // In English, for the pictures.
    qelui::TextLibrary english;
    ASSERT_TRUE(english.Load(L"EN"));
    const RecoveryScreen screen{nullptr, english, &facts_, system};
    const auto text = [&](int id) { return english.LoadText(id); };
    {
        SCOPED_TRACE("printer list: the USB question, the PC's network confirmed and applied");
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_WIFI_PRINTER, "confirm the network the printer found", [](DialogView& v) {
            EXPECT_EQ(v.Text(IDC_WIFI_NETWORK), L"HomeNet");
            EXPECT_TRUE(v.Screenshot(L"wifi-confirm-english.bmp"));
            v.Click(IDC_WIFI_OK);
        });
        system.answers = {IDOK};
        FactsRecoveryState state(facts_);
        EXPECT_TRUE(ScreenWifiRecovery(screen, UsbPrinter(), state).AfterUsbRetry());
        EXPECT_EQ(system.boxes,
                  (std::vector<qeltest::FakeSystem::Box>{
                      {nullptr, text(17001), text(10001), MB_OKCANCEL | MB_ICONQUESTION}}));
        EXPECT_EQ(library.SlotCalls(), search + "|" + searchBeforeApply +
                                           "|ApplyAccessPoint 2 HomeNet secret-key");
        EXPECT_EQ(*facts_.GetUserAction(), kActionConfirmAnswered);
        EXPECT_EQ(*facts_.GetUsbRetried(), 1);
        // Search, confirmation, apply: each device step showed its progress dialog.
        ASSERT_EQ(robot.Seen().size(), 3u);
        EXPECT_EQ(robot.Seen()[0].caption, L""); // no title on the recovery's progress
    }
    {
        SCOPED_TRACE("invitation screen: the setup flow chooses a network by hand");
        library.ClearCalls();
        system.boxes.clear();
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_WIFI_MANUAL, "set up by hand", [&](DialogView& v) {
            EXPECT_EQ(v.Text(IDC_WIFI_MESSAGE), text(17004));
            EXPECT_TRUE(v.Screenshot(L"wifi-failed-english.bmp"));
            v.Click(IDC_WIFI_MANUAL);
        });
        robot.ThenOn(IDC_SSID_NAME, "choose the second network, type its key", [&](DialogView& v) {
            EXPECT_EQ(v.Text(IDC_WIFI_MESSAGE), text(17006));
            ::SendDlgItemMessageW(v.Handle(), IDC_SSID_NAME, CB_SETCURSEL, 1, 0);
            v.Type(IDC_SSID_KEY, L"latte");
        });
        robot.ThenOn(IDC_SSID_NAME, "OK", [](DialogView& v) {
            EXPECT_TRUE(v.Screenshot(L"wifi-ssid-english.bmp"));
            v.Click(IDC_SSID_OK);
        });
        unsigned char usbRetryFlag = 1;
        int userAction = 1;
        int sendInfo = 0x02;
        EXPECT_EQ(SetupWifi(screen, usbRetryFlag, userAction, sendInfo, UsbPrinter()), 1);
        EXPECT_EQ(library.SlotCalls(), search + "|" + searchBeforeApply +
                                           "|ApplyAccessPoint 2 Cafe Corner latte");
        EXPECT_EQ(userAction, kActionManualSetup);
        EXPECT_EQ(usbRetryFlag, 1);
        EXPECT_EQ(sendInfo, 0x02);
        EXPECT_TRUE(system.boxes.empty());
    }
    {
        SCOPED_TRACE("printer list: the printer sees no access point");
        library.ClearCalls();
        library.script.accessPoints.clear();
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_WIFI_MANUAL, "set up by hand", [](DialogView& v) {
            v.Click(IDC_WIFI_MANUAL);
        });
        facts_.SetUsbRetried(1);
        EXPECT_EQ(SetupWifi(screen, facts_, UsbPrinter()), 0);
        EXPECT_EQ(system.boxes, (std::vector<qeltest::FakeSystem::Box>{
                                    {nullptr, text(17016), text(10001), MB_ICONERROR}}));
        EXPECT_EQ(*facts_.GetUserAction(), kActionNoAccessPoint);
        EXPECT_EQ(*facts_.GetUsbRetried(), 0);
    }
    EXPECT_EQ(library.LiveObjects(), 0);
    EXPECT_EQ(qelui::DialogStack::Instance().size(), 1u);
}

} // namespace
