// The printer list of a "-Setup" run (WM_APP+3) under the robot, against printers of the simulated
// world and the simulated cloud: the search as the list shows and on Refresh, the rows, the
// actions that follow the selection, the About item, and Register with the agreement, the
// registration, its boxes and the Wi-Fi recovery of a USB printer, with pages opened in the test
// browser. The printer access library runs in this process over the stand-ins beside the test,
// so its fixed waits pass at once and the PC's own Wi-Fi can be given.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/TansuApp.h"
#include "app/app_messages.h"
#include "app/app_system.h"
#include "fake_wlan.h"
#include "printerlist/printer_list_dialog.h"
#include "printerutil/device_data.h"
#include "printerutil/device_library.h"
#include "qelcmn/exceptions.h"
#include "qelworld/qelworld_client.h"
#include "resource.h"
#include "simulated_flow_fixture.h"
#include "testkit/dialog_robot.h"
#include "testkit/page_recorder.h"
#include "testkit/table_part.h"
#include "testkit/text_ids.h"
#include "win/module_path.h"
#include "win/unique_any.h"
#include "world_device_library.h"

namespace {

using qeltest::DialogView;
using qeltest::TextId;
using Rows = std::vector<std::wstring>;

// The printer access library's device layer and the USB wrapper in this process over the
// simulated world, their fixed waits passed at once, the PC on HomeNet with its key saved; it
// counts what asks for it, and a search can be made to fail.
class ListDevices final : public printerutil::IDeviceBackend {
public:
    ListDevices() {
        wlan_.interfaces = {vtqeldevc::test::Connected(
            "HomeNet", {vtqeldevc::test::Usable(L"HomeNet", L"correct horse")})};
    }

    std::optional<printerutil::DeviceEntries> Entries() override {
        ++calls;
        if (failNext.exchange(false)) {
            throw qelcmn::qel_cancel(qelcmn::kCodeCancelled, L"search failed");
        }
        return library_.Entries();
    }
    bool IsUsbPrinterQueue(const std::wstring& queue) override {
        return library_.IsUsbPrinterQueue(queue);
    }

    std::atomic<int> calls{0};
    std::atomic<bool> failNext{false};

private:
    vtqeldevc::test::FakeWlan wlan_;
    qelinvitation::testing::WorldDeviceLibrary library_{&wlan_.api()};
    printerutil::ScopedDeviceBackend scope_{*this};
};

// An offered network printer, a printer without the service, a USB-only printer that reaches the
// cloud once on HomeNet, and a printer that keeps testing its connection.
constexpr char kWorld[] = R"(
[printer office]
model = VT-X100 Series
serial = 5A3X01234
region = 1
wireless-mac = 00:1B:A9:3C:00:01
ipv4 = 192.168.1.31
agreement = unknown
qel-service = serviceA
next-printer-id = VTP-0001-AAAA-0001

[printer lab]
model = VT-L50 Series
serial = 7C9Z00042
ipv4 = 192.168.1.33
services = device
agreement = none

[printer desk]
model = VT-M200 Series
serial = 8D1W09012
region = 1
wireless-mac = 00:1B:A9:6F:00:04
usb-port = USB001
usb = vtwidwus
bands = 2.4 5
ap = HomeNet signal -42 channel 6 auth 7 encryption 4 key "correct horse"
ap = "Cafe Corner" signal -67 channel 11 auth 9 encryption 4 key latte
wifi-address = 192.168.1.45
qel-service = serviceA
agreement = unknown
internet = with-network
next-printer-id = VTP-0004-DDDD-0001

[printer studio]
model = VT-S300 Series
serial = 6B7Y05678
region = 3
ipv4 = 192.168.1.32
agreement = agree
qel-service = serviceD
connectivity-test = confirming
)";

// The rows of the list: model and shown serial, one text each.
Rows ListRows(HWND dialog) {
    const HWND list = ::GetDlgItem(dialog, IDC_PRINTER_LIST);
    Rows rows;
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring row;
        for (int column = 0; column < 2; ++column) {
            wchar_t text[128] = {};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 128;
            ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i),
                           reinterpret_cast<LPARAM>(&item));
            row += (column == 0 ? L"" : L" ") + std::wstring(text);
        }
        rows.push_back(row);
    }
    return rows;
}

int SelectedRow(const DialogView& v) {
    return static_cast<int>(::SendDlgItemMessageW(v.Handle(), IDC_PRINTER_LIST, LVM_GETNEXTITEM,
                                                  static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SetRowState(const DialogView& v, int row, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    ::SendDlgItemMessageW(v.Handle(), IDC_PRINTER_LIST, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(&item));
}

void ExpectActions(const DialogView& v, bool enabled) {
    EXPECT_EQ(v.Enabled(IDC_LIST_REGISTER), enabled);
    EXPECT_EQ(v.Enabled(IDC_LIST_ABOUT_SERVICE), enabled);
}

// The program's own system, whose page opening can be made to fail.
class FlakySystem final : public qelui::ISystem {
public:
    bool PostNext(HWND window, UINT message, WPARAM wParam) override {
        return qelapp::ProgramSystem().PostNext(window, message, wParam);
    }
    int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                       UINT style) override {
        if (faults.boxesShown > 0) {
            --faults.boxesShown;
        } else if (faults.boxes > 0) {
            --faults.boxes;
            throw std::bad_alloc();
        }
        return qelapp::ProgramSystem().ShowMessageBox(owner, text, caption, style);
    }
    void OpenPage(const std::wstring& address) override {
        if (faults.pages > 0) {
            --faults.pages;
            throw std::bad_alloc();
        }
        qelapp::ProgramSystem().OpenPage(address);
    }
    bool IsElevated() override { return qelapp::ProgramSystem().IsElevated(); }

    // How many of the next pages fail to open, and of the boxes after the first boxesShown fail
    // to show.
    struct Faults {
        int pages = 0;
        int boxes = 0;
        int boxesShown = 0;
    };
    Faults faults;
};

class PrinterListFlow : public qeltest::SimulatedFlowTest {
protected:
    // The list as a "-Setup" run opens it, until it closes.
    void RunList(qelapp::TansuApp& app) {
        app.Facts().SetLaunchMode(qelinfo::kLaunchSetup);
        app.WndProc(window_.get(), qelapp::kMsgPrinterList, 0, 0);
    }
    // The list is up with the search of that number done.
    std::function<bool(const DialogView&)> Searched(int searches) {
        return [this, searches](const DialogView& v) {
            return v.Has(IDC_PRINTER_LIST) && devices_.calls == searches;
        };
    }

    ListDevices devices_;
};

TEST_F(PrinterListFlow, TheSearchFillsTheListAndTheActionsFollowTheSelection) {
    const Rows found = {L"VT-X100 Series ****01234", L"VT-S300 Series ****05678",
                        L"VT-M200 Series ****09012"};
    ASSERT_EQ(world_.Load(kWorld), "");
    const qeltest::PageRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    qelapp::TansuApp app;
    // In English, for the picture.
    ASSERT_TRUE(app.Texts().Load(L"EN"));
    const auto text = [&](int id) { return app.Texts().LoadText(id); };
    qeltest::DialogRobot robot;
    robot.ThenWhen(Searched(1), "the printers found, row 0 selected", [&](DialogView& v) {
        EXPECT_EQ(v.Caption(), text(10001));
        EXPECT_EQ(v.Text(IDC_LIST_LABEL), text(10101));
        EXPECT_EQ(v.Text(IDC_LIST_REFRESH), text(10104));
        EXPECT_EQ(v.Text(IDC_LIST_ABOUT_SERVICE), text(10105));
        EXPECT_EQ(v.Text(IDC_LIST_REGISTER), text(10106));
        EXPECT_EQ(ListRows(v.Handle()), found);
        EXPECT_EQ(SelectedRow(v), 0);
        EXPECT_TRUE(v.Focused(IDC_PRINTER_LIST));
        ExpectActions(v, true);
        EXPECT_TRUE(v.Screenshot(L"printer-list.bmp"));
        // The focus moving to another row leaves the selection, and the actions, as they are.
        SetRowState(v, 1, LVIS_FOCUSED, LVIS_FOCUSED);
        ExpectActions(v, true);
        // Clicking the empty part of the list deselects the row.
        SetRowState(v, -1, 0, LVIS_SELECTED);
        ExpectActions(v, false);
        devices_.failNext = true;
        v.Click(IDC_LIST_REFRESH);
    });
    robot.ThenWhen(Searched(2), "a failed search lists the last printers again, no box",
                   [&](DialogView& v) {
                       EXPECT_EQ(ListRows(v.Handle()), found);
                       EXPECT_EQ(SelectedRow(v), 0);
                       ExpectActions(v, true);
                       v.Click(IDC_LIST_ABOUT_SERVICE);
                   });
    robot.ThenOn(IDC_PRINTER_LIST, "the service page opened; the About item",
                 [&](DialogView& v) { v.Post(WM_SYSCOMMAND, qelprinterlist::kAboutCommand); });
    HWND list = nullptr;
    robot.ThenOn(IDC_ABOUT_LINE1, "the About item opens the About box over the list",
                 [&](DialogView& v) {
                     list = v.Owner();
                     // The last item of the system menu, after a separator.
                     const HMENU menu = ::GetSystemMenu(list, FALSE);
                     const int last = ::GetMenuItemCount(menu) - 1;
                     EXPECT_EQ(::GetMenuState(menu, last - 1, MF_BYPOSITION) & MF_SEPARATOR,
                               static_cast<UINT>(MF_SEPARATOR));
                     EXPECT_EQ(::GetMenuItemID(menu, last), qelprinterlist::kAboutCommand);
                     wchar_t item[64] = {};
                     ::GetMenuStringW(menu, last, item, 64, MF_BYPOSITION);
                     EXPECT_EQ(std::wstring(item), text(11401));
                     v.Click(IDOK);
                 });
    robot.ThenOn(IDC_PRINTER_LIST, "back on the list; closed", [&](DialogView& v) {
        EXPECT_EQ(v.Handle(), list);
        EXPECT_EQ(ListRows(v.Handle()).size(), found.size());
        v.Key(VK_ESCAPE);
    });
    RunList(app);
    EXPECT_FALSE(robot.WatchdogFired());
    const auto pages = recorder.WaitForPages(1);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].rfind(cloud_.Url(L"/gateway/capi?FNC=INFO&"), 0), 0u);
    EXPECT_NE(pages[0].find(L"&DEV=VT-X100+Series&"), std::wstring::npos) << "the selected printer";
    EXPECT_EQ(pages[0].find(L"UAH="), std::wstring::npos);
    EXPECT_EQ(cloud_.Count(), 0) << "listing registers nothing";
}

TEST_F(PrinterListFlow, NothingFoundShowsOneBoxAndRefreshOffersTheActionsAgain) {
    ASSERT_EQ(world_.Load("[world]\nsearch-delay-ms = 400\n"), "");
    qelapp::TansuApp app;
    ASSERT_TRUE(app.Texts().Load(qeltest::kTextIdsLanguage));
    qeltest::DialogRobot robot;
    robot.ThenOnMessageBox("no printer", [](DialogView& v) {
        EXPECT_EQ(v.MessageText(), TextId(11010));
        EXPECT_EQ(v.Caption(), TextId(10001));
        v.Click(IDOK);
    });
    robot.ThenWhen(Searched(1), "an empty list, the actions disabled", [&](DialogView& v) {
        EXPECT_TRUE(ListRows(v.Handle()).empty());
        ExpectActions(v, false);
        EXPECT_TRUE(v.Screenshot(L"printer-list-empty.bmp"));
        ASSERT_EQ(world_.Add("[printer office]\nmodel = VT-X100 Series\nserial = 12345\n"
                             "ipv4 = 192.168.1.31\nqel-service = serviceA\n"),
                  "");
        v.Click(IDC_LIST_REFRESH);
    });
    robot.ThenOn(IDC_SEARCH_PROGRESS_BAR, "Refresh offered the actions before searching",
                 [](DialogView& v) {
                     const DialogView list(v.Owner());
                     ExpectActions(list, true);
                 });
    robot.ThenWhen(Searched(2), "the printer found", [&](DialogView& v) {
        // A serial of five characters or fewer is not shown at all.
        EXPECT_EQ(ListRows(v.Handle()), Rows{L"VT-X100 Series "});
        EXPECT_EQ(SelectedRow(v), 0);
        ExpectActions(v, true);
        v.Key(VK_ESCAPE);
    });
    RunList(app);
    EXPECT_FALSE(robot.WatchdogFired());
}

TEST_F(PrinterListFlow, RegisterAsksTheAgreementOnceAndRegistersOrRecoversOrTellsWhy) {
    const qeltest::PageRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    using Script = std::function<void(qeltest::DialogRobot&)>;
    const auto box = [](int text, int answer) -> Script {
        return [=](qeltest::DialogRobot& robot) {
            robot.ThenOnMessageBox("box " + std::to_string(text), [=](DialogView& v) {
                EXPECT_EQ(v.MessageText(), TextId(text));
                EXPECT_EQ(v.Caption(), TextId(10001));
                v.Click(answer);
            });
        };
    };
    const auto agreement = [](int answer) -> Script {
        return [=](qeltest::DialogRobot& robot) {
            robot.ThenOn(IDC_AGREE, "agreement", [=](DialogView& v) { v.Click(answer); });
        };
    };
    const auto registerAgain = [](qeltest::DialogRobot& robot) {
        robot.ThenOn(IDC_PRINTER_LIST, "the list stays; Register again",
                     [](DialogView& v) { v.Click(IDC_LIST_REGISTER); });
    };
    const auto closeList = [](qeltest::DialogRobot& robot) {
        robot.ThenOn(IDC_PRINTER_LIST, "the list stays; closed",
                     [](DialogView& v) { v.Key(VK_ESCAPE); });
    };
    const auto confirm = [](int answer) -> Script {
        return [=](qeltest::DialogRobot& robot) {
            robot.ThenOn(IDC_WIFI_PRINTER, "the PC's network", [=](DialogView& v) {
                EXPECT_EQ(v.Text(IDC_WIFI_NETWORK), L"HomeNet");
                EXPECT_EQ(v.Text(IDC_WIFI_PRINTER), L"VT-M200 Series(8D1W09012)");
                v.Click(answer);
            });
        };
    };
    const auto chooseNetwork = [](const wchar_t* ssid, const wchar_t* key) -> Script {
        return [=](qeltest::DialogRobot& robot) {
            robot.ThenOn(IDC_SSID_NAME, "choose a network", [=](DialogView& v) {
                const LRESULT index =
                    ::SendDlgItemMessageW(v.Handle(), IDC_SSID_NAME, CB_FINDSTRINGEXACT,
                                          static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(ssid));
                ASSERT_GE(index, 0);
                ::SendDlgItemMessageW(v.Handle(), IDC_SSID_NAME, CB_SETCURSEL,
                                      static_cast<WPARAM>(index), 0);
                v.Type(IDC_SSID_KEY, key);
            });
            robot.ThenOn(IDC_SSID_NAME, "OK", [](DialogView& v) { v.Click(IDC_SSID_OK); });
        };
    };
    const auto connectFailed = [](int answer) -> Script {
        return [=](qeltest::DialogRobot& robot) {
            robot.ThenOn(IDC_WIFI_MANUAL, "connect failed", [=](DialogView& v) {
                EXPECT_FALSE(v.Has(IDC_WIFI_OK));
                EXPECT_EQ(v.Text(IDC_WIFI_MESSAGE), TextId(17004));
                v.Click(answer);
            });
        };
    };
    struct Row {
        const char* name;
        const wchar_t* model; // the row chosen
        const char* rule;     // of the cloud; "" for none
        FlakySystem::Faults faults;
        std::vector<Script> user;
        // Expected: the page opened (the start of its address; null: none), whether the USB
        // printer joined a network, the user action the last gateway query carried ("" when
        // none) and the USB retry count left in the facts. A row whose script does not close
        // the list expects the registration to close it.
        const wchar_t* page;
        const char* joined;
        const char* userAction;
        int usbRetried;
    };
    const char* gatewayFailsOnce = R"({"path": "/gateway/capi", "status": 500, "times": 1})";
    const char* localFilePage =
        R"({"path": "/gateway/api0122", "fields": {"open_url": "file:///C:/windows/win.ini"}})";
    const wchar_t* registered = L"/gateway/page?reg=";
    // clang-format off
    const Row rows[] = {
        {"refused, then agreed: registered at once", L"VT-X100 Series", "", {},
         {agreement(IDC_DISAGREE), registerAgain, agreement(IDC_AGREE)}, registered, "no", "NONE",
         0},
        {"the gateway fails: box 11003; Register again without the agreement", L"VT-X100 Series",
         gatewayFailsOnce, {}, {agreement(IDC_AGREE), box(11003, IDOK), registerAgain}, registered,
         "no", "NONE", 0},
        {"out of service: the maintenance page opens and the list closes", L"VT-X100 Series",
         R"({"path": "/gateway/api0122", "fields": {"code": "CAPI_OUT_SERVICE"}})", {},
         {agreement(IDC_AGREE)}, L"/gateway/page?maintenance=1", "no", "NONE", 0},
        {"an answer without a page: nothing opened, the list closes", L"VT-X100 Series",
         R"({"path": "/gateway/api0122", "fields": {"open_url": null}})", {},
         {agreement(IDC_AGREE)}, nullptr, "no", "NONE", 0},
        {"an answer whose page is a local file: as without a page, nothing goes to the system",
         L"VT-X100 Series", localFilePage, {1, 0}, {agreement(IDC_AGREE)}, nullptr, "no", "NONE", 0},
        {"opening the page fails: box 11003, the list stays; Register again opens it",
         L"VT-X100 Series", "", {1, 0}, {agreement(IDC_AGREE), box(11003, IDOK), registerAgain},
         registered, "no", "NONE", 0},
        {"USB: after the recovery neither the page nor the failure box shows: box 11003, the "
         "list stays, no recovery pending", L"VT-M200 Series", "", {1, 1, 1},
         {agreement(IDC_AGREE), box(17001, IDOK), confirm(IDC_WIFI_OK), box(11003, IDOK),
          closeList},
         nullptr, "yes", "CDLG2", 0},
        {"the printer keeps testing its connection: box 11009", L"VT-S300 Series", "", {},
         {agreement(IDC_AGREE), box(11009, IDOK), closeList}, nullptr, "no", "", 0},
        {"USB without the Internet: the PC's network confirmed, applied, registered",
         L"VT-M200 Series", "", {}, {agreement(IDC_AGREE), box(17001, IDOK), confirm(IDC_WIFI_OK)},
         registered, "yes", "CDLG2", 1},
        {"USB: a wrong key by hand, connect failed, the right one chosen again",
         L"VT-M200 Series", "", {},
         {agreement(IDC_AGREE), box(17001, IDOK), confirm(IDC_WIFI_MANUAL),
          chooseNetwork(L"HomeNet", L"wrong horse"), connectFailed(IDC_WIFI_MANUAL),
          chooseNetwork(L"HomeNet", L"correct horse")},
         registered, "yes", "SDLG1", 1},
        {"USB: the question refused twice; nothing searched, each Register a plain one",
         L"VT-M200 Series", "", {},
         {agreement(IDC_AGREE), box(17001, IDCANCEL), registerAgain, box(17001, IDCANCEL),
          closeList},
         nullptr, "no", "", 0},
    };
    // clang-format on
    std::size_t pagesOpened = 0;
    for (const Row& row : qeltest::RowsOfThisPart(rows)) {
        SCOPED_TRACE(row.name);
        ResetCloud(row.rule);
        ASSERT_EQ(world_.Load(kWorld), "");
        devices_.calls = 0;
        FlakySystem system;
        system.faults = row.faults;
        qelapp::TansuApp app(&system);
        ASSERT_TRUE(app.Texts().Load(qeltest::kTextIdsLanguage));
        qeltest::DialogRobot robot;
        robot.ThenWhen(Searched(1), "choose the printer, Register", [&](DialogView& v) {
            const Rows shown = ListRows(v.Handle());
            for (std::size_t i = 0; i < shown.size(); ++i) {
                if (shown[i].rfind(row.model, 0) == 0) {
                    SetRowState(v, static_cast<int>(i), LVIS_SELECTED, LVIS_SELECTED);
                }
            }
            v.Click(IDC_LIST_REGISTER);
        });
        for (const Script& step : row.user) {
            step(robot);
        }
        RunList(app);
        EXPECT_FALSE(robot.WatchdogFired());
        EXPECT_EQ(robot.StepsLeft(), 0u);
        if (row.page != nullptr) {
            const auto pages = recorder.WaitForPages(++pagesOpened);
            ASSERT_EQ(pages.size(), pagesOpened);
            EXPECT_EQ(pages.back().rfind(cloud_.Url(row.page), 0), 0u);
        }
        EXPECT_EQ(world_.Get("desk", "wifi-joined"), row.joined);
        EXPECT_EQ(cloud_.Field(-1, "info.q.UAH", "/gateway/capi").value_or(""), row.userAction);
        EXPECT_EQ(*app.Facts().GetUsbRetried(), row.usbRetried);
    }
    EXPECT_EQ(recorder.Pages().size(), pagesOpened);
}

} // namespace
