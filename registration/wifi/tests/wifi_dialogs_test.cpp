// The Wi-Fi recovery dialogs under the robot: their texts (the text-id library shows each as its
// number), layout, fonts, focus and answers; the network-name dialog's list, key limit, key mask
// and outputs; and one recovery through the real dialogs, boxes and progress dialogs over the
// scripted device library. Pictures of each dialog go to the test artifacts.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
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

// Where a control lies (y kRow: on the row of buttons, 25 high), the text it shows (0: none
// checked) and its font size (0: the dialog's own).
constexpr int kRow = -1;
struct Placed {
    int id, x, y, width, height, text, points;
};

// What every dialog shows: the frame, the client area, the caption, the bold message, the line
// above the buttons; then its own controls; the focus on the first button given.
void ExpectDialog(const DialogView& v, int messageText, int focus,
                  std::initializer_list<Placed> controls) {
    const LONG_PTR frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(v.DialogStyle() & frame, frame);
    EXPECT_EQ(v.ClientSize().cx, 600);
    EXPECT_EQ(v.ClientSize().cy, 320 - ::GetSystemMetrics(SM_CYSIZE));
    EXPECT_EQ(v.Caption(), TextId(10001));
    EXPECT_EQ(v.Text(IDC_WIFI_MESSAGE), TextId(messageText));
    const int line = ::MulDiv(9, qelui::PixelsPerInchY(v.Handle()), 72) + 4;
    ExpectPlace(v, IDC_WIFI_MESSAGE, 20, 20, 560, 2 * line);
    ExpectFont(v, IDC_WIFI_MESSAGE, 9, FW_BOLD);
    ExpectPlace(v, IDC_SEPARATOR, 0, 240, 600, 1);
    EXPECT_NE(v.Style(IDC_SEPARATOR) & SS_BITMAP, 0);
    // Stretched to the line's width: a dialog grown with the density is wider than the picture.
    EXPECT_NE(v.Style(IDC_SEPARATOR) & SS_REALSIZECONTROL, 0);
    for (const Placed& c : controls) {
        // A drop-down list's height is its own business.
        const int height = c.id == IDC_SSID_NAME ? v.Rect(c.id).bottom - c.y : c.height;
        ExpectPlace(v, c.id, c.x, c.y == kRow ? 4 * line + 194 : c.y, c.width,
                    c.y == kRow ? 25 : height);
        if (c.text != 0) {
            EXPECT_EQ(v.Text(c.id), TextId(c.text)) << "control " << c.id;
        }
        if (c.points != 0) {
            ExpectFont(v, c.id, c.points, FW_NORMAL);
        }
        if (c.y == kRow) {
            EXPECT_NE(v.Style(c.id) & WS_TABSTOP, 0) << "button " << c.id;
        }
    }
    EXPECT_NE(v.Style(focus) & BS_DEFPUSHBUTTON, 0);
}

TEST_F(WifiDialogTest, EachDialogShowsItsLayoutAndAnswersWithTheButtonPressed) {
    enum Which { kConfirm, kConfirmWithoutTexts, kNetwork, kFailed };
    struct Case {
        Which which;
        int press; // 0: Escape
        INT_PTR result;
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {kConfirm, IDC_WIFI_OK, kConfirmUseNetwork, L"wifi-confirm.bmp"},
        {kConfirm, IDC_WIFI_CANCEL, kCancel, nullptr},
        {kConfirm, IDC_WIFI_MANUAL, kManualSetup, nullptr},
        {kConfirm, 0, kClosed, nullptr},
        {kConfirmWithoutTexts, IDC_WIFI_OK, kConfirmUseNetwork, nullptr},
        {kNetwork, IDC_SSID_CANCEL, kNetworkCancel, nullptr},
        {kFailed, IDC_WIFI_MANUAL, kManualSetup, L"wifi-failed.bmp"},
        {kFailed, IDC_WIFI_CANCEL, kCancel, nullptr},
        {kFailed, 0, kClosed, nullptr},
    };
    const std::wstring ssid = L"Home Net (2.4)";
    const AccessPointBuffer none{};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "dialog " << c.which << ", press " << c.press);
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_WIFI_MESSAGE, "read and answer", [&](DialogView& v) {
            switch (c.which) {
            case kConfirm:
                ExpectDialog(v, 17002, IDC_WIFI_OK,
                             {{IDC_WIFI_UPPER_LABEL, 20, 60, 170, 20, 17007, 9},
                              {IDC_WIFI_NETWORK_LABEL, 20, 80, 170, 20, 17008, 9},
                              {IDC_WIFI_PRINTER, 190, 60, 400, 20, 0, 9},
                              {IDC_WIFI_NETWORK, 190, 80, 400, 20, 0, 9},
                              {IDC_WIFI_OK, 44, kRow, 170, 25, 10002, 10},
                              {IDC_WIFI_CANCEL, 227, kRow, 170, 25, 10003, 10},
                              {IDC_WIFI_MANUAL, 410, kRow, 170, 25, 17009, 10}});
                [[fallthrough]];
            case kConfirmWithoutTexts:
                EXPECT_EQ(v.Text(IDC_WIFI_PRINTER), L"VZ Printer 500(SN0042)");
                EXPECT_EQ(v.Text(IDC_WIFI_NETWORK), ssid);
                EXPECT_TRUE(v.Focused(IDC_WIFI_OK));
                break;
            case kNetwork:
                ExpectDialog(v, 17005, IDC_SSID_OK,
                             {{IDC_WIFI_UPPER_LABEL, 20, 60, 140, 30, 17008, 9},
                              {IDC_WIFI_KEY_LABEL, 20, 90, 140, 30, 17014, 9},
                              {IDC_SSID_NAME, 160, 58, 400, 0, 0, 0},
                              {IDC_SSID_KEY, 160, 88, 400, 20, 0, 0},
                              {IDC_SSID_SHOW_KEY, 160, 108, 400, 20, 17015, 0},
                              {IDC_SSID_OK, 267, kRow, 150, 25, 10002, 10},
                              {IDC_SSID_CANCEL, 430, kRow, 150, 25, 10003, 10}});
                EXPECT_TRUE(v.Focused(IDC_SSID_NAME));
                break;
            case kFailed:
                ExpectDialog(v, 17004, IDC_WIFI_MANUAL,
                             {{IDC_WIFI_MANUAL, 227, kRow, 170, 25, 17009, 10},
                              {IDC_WIFI_CANCEL, 410, kRow, 170, 25, 10003, 10}});
                EXPECT_TRUE(v.Focused(IDC_WIFI_MANUAL));
                break;
            }
            AnswerWithPicture(v, c.press, c.screenshot);
        });
        INT_PTR result = -1;
        if (c.which == kConfirm || c.which == kConfirmWithoutTexts) {
            WifiConfirmDialog dialog(c.which == kConfirm ? &texts_ : nullptr);
            dialog.SetData(&facts_, &ssid);
            result = dialog.DoModal(nullptr);
        } else if (c.which == kNetwork) {
            SsidDialog dialog(&texts_);
            dialog.SetApList(&facts_, none.data(), 100, nullptr, nullptr, true);
            result = dialog.DoModal(nullptr);
        } else {
            result = ConnectFailedDialog(&texts_, &facts_).DoModal(nullptr);
        }
        EXPECT_EQ(result, c.result);
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

LRESULT KeyMask(const DialogView& v) {
    return ::SendDlgItemMessageW(v.Handle(), IDC_SSID_KEY, EM_GETPASSWORDCHAR, 0, 0);
}

TEST_F(WifiDialogTest, NetworkNameDialogOffersTheNamesAndHandsBackTheChoice) {
    const std::wstring typed(70, L'k'); // more than the key field takes
    const std::wstring limited(64, L'k');
    AccessPointBuffer hundred{};
    for (std::size_t i = 0; i < hundred.size(); ++i) {
        wcsncpy(hundred[i].ssid, (L"AP" + std::to_wstring(i)).c_str(), 32);
    }
    const auto cafe = Names({L"HomeNet", L"Cafe Corner", L"", L"after the end"});
    struct Case {
        const char* what;
        const AccessPointBuffer& list;
        int count; // the records given
        bool notSeen;
        int select; // entry to select; -1: leave the first
        int press;  // 0: Escape
        INT_PTR result;
        std::wstring first, last; // of the names offered
        LRESULT offered;
        std::wstring name, key;
        const wchar_t* screenshot;
    };
    // clang-format off
    const Case cases[] = {
        {"PC network not seen: second entry chosen", cafe, 100, true, 1, IDC_SSID_OK,
         kNetworkChosen, L"HomeNet", L"Cafe Corner", 2, L"Cafe Corner", limited,
         L"wifi-ssid-not-seen.bmp"},
        {"manual setup: first entry kept", cafe, 100, false, -1, IDC_SSID_OK, kNetworkChosen,
         L"HomeNet", L"Cafe Corner", 2, L"HomeNet", limited, L"wifi-ssid-manual.bmp"},
        {"Escape leaves the outputs empty", cafe, 100, false, -1, 0, kClosed, L"HomeNet",
         L"Cafe Corner", 2, L"", L"", nullptr},
        {"no names: OK gives an empty name", AccessPointBuffer{}, 100, true, -1, IDC_SSID_OK,
         kNetworkChosen, L"", L"", 0, L"", limited, nullptr},
        {"a full buffer: all 100", hundred, 100, false, 99, IDC_SSID_OK, kNetworkChosen, L"AP0",
         L"AP99", 100, L"AP99", limited, nullptr},
        {"fewer records given than the buffer holds", hundred, 3, false, -1, IDC_SSID_OK,
         kNetworkChosen, L"AP0", L"AP2", 3, L"AP0", limited, nullptr},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring name;
        std::wstring key;
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_SSID_NAME, "read the names, type a key too long", [&](DialogView& v) {
            EXPECT_EQ(v.Text(IDC_WIFI_MESSAGE), TextId(c.notSeen ? 17005 : 17006));
            HWND combo = ::GetDlgItem(v.Handle(), IDC_SSID_NAME);
            // Left to right: a network name keeps its punctuation where it was typed.
            EXPECT_EQ(::GetWindowLongPtrW(combo, GWL_EXSTYLE) & WS_EX_RTLREADING, 0);
            EXPECT_EQ(v.Style(IDC_SSID_NAME) & 0x3, CBS_DROPDOWNLIST);
            const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
            EXPECT_EQ(count, c.offered);
            EXPECT_EQ(v.Text(IDC_SSID_NAME), c.first); // the first is selected
            wchar_t last[64] = {};
            ::SendMessageW(combo, CB_GETLBTEXT, count - 1, reinterpret_cast<LPARAM>(last));
            EXPECT_EQ(std::wstring(last), c.last);
            if (c.select >= 0) {
                ::SendMessageW(combo, CB_SETCURSEL, c.select, 0);
            }
            const LONG_PTR edit = ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP;
            EXPECT_EQ(v.Style(IDC_SSID_KEY) & edit, edit);
            EXPECT_TRUE(v.HasBorder(IDC_SSID_KEY));
            EXPECT_NE(KeyMask(v), 0);
            EXPECT_FALSE(v.Checked(IDC_SSID_SHOW_KEY));
            v.Type(IDC_SSID_KEY, typed);
        });
        robot.ThenOn(IDC_SSID_NAME, "the key stops at 64; show it", [&](DialogView& v) {
            EXPECT_EQ(v.Text(IDC_SSID_KEY), limited);
            v.Click(IDC_SSID_SHOW_KEY);
        });
        robot.ThenOn(IDC_SSID_NAME, "shown in clear; mask it again", [&](DialogView& v) {
            EXPECT_TRUE(v.Checked(IDC_SSID_SHOW_KEY));
            EXPECT_EQ(KeyMask(v), 0);
            v.Click(IDC_SSID_SHOW_KEY);
        });
        robot.ThenOn(IDC_SSID_NAME, "masked with the black circle; answer", [&](DialogView& v) {
            EXPECT_FALSE(v.Checked(IDC_SSID_SHOW_KEY));
            EXPECT_EQ(KeyMask(v), SsidDialog::kMaskCharacter);
            AnswerWithPicture(v, c.press, c.screenshot);
        });
        SsidDialog dialog(&texts_);
        dialog.SetApList(&facts_, c.list.data(), c.count, &name, &key, c.notSeen);
        EXPECT_EQ(dialog.DoModal(nullptr), c.result);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(key, c.key);
    }
}

// A USB printer the scripted device library finds, with the access points it sees.
printerutil::testing::DeviceScript UsbPrinterScript() {
    printerutil::testing::DeviceScript script;
    script.devices = {
        printerutil::testing::MakeDeviceInfo(L"VZ Printer 500", L"SN0042", L"1", 1, 1, 1, 2)};
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
        EXPECT_EQ(library.SlotCalls(),
                  search + "|" + searchBeforeApply + "|ApplyAccessPoint 2 HomeNet secret-key");
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
        EXPECT_EQ(library.SlotCalls(),
                  search + "|" + searchBeforeApply + "|ApplyAccessPoint 2 Cafe Corner latte");
        EXPECT_EQ(userAction, kActionManualSetup);
        EXPECT_TRUE(system.boxes.empty());
    }
    EXPECT_EQ(library.LiveObjects(), 0);
    EXPECT_EQ(qelui::DialogStack::Instance().size(), 1u);
}

TEST(DialogWifiScreens, BoxesOverTheScreenWithTheirTextsAndAnswers) {
    qelui::TextLibrary texts;
    ASSERT_TRUE(texts.Load(qeltest::kTextIdsLanguage));
    qeltest::FakeSystem system;
    const HWND owner = reinterpret_cast<HWND>(std::uintptr_t{0x1234});
    DialogWifiScreens screens({owner, texts, nullptr, system});
    system.answers = {IDOK, IDCANCEL};
    EXPECT_TRUE(screens.AskToConnect());
    EXPECT_FALSE(screens.AskToConnect());
    screens.ShowNoAccessPoint();
    screens.ShowRetryLater();
    screens.ShowFailure();
    const auto box = [&](int text, UINT style) {
        return qeltest::FakeSystem::Box{owner, TextId(text), TextId(10001), style};
    };
    const UINT question = MB_OKCANCEL | MB_ICONQUESTION;
    EXPECT_EQ(system.boxes,
              (std::vector<qeltest::FakeSystem::Box>{
                  box(17001, question), box(17001, question), box(17016, MB_ICONERROR),
                  box(11009, MB_ICONERROR), box(11003, MB_ICONERROR)}));
}

} // namespace
