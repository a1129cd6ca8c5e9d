// Registrations from the invitation screen against the simulated world and cloud, under the
// robot: the printer's data read as the opening flow reads it, the registration under the
// status progress dialog (the screen keeps painting behind it), the page recorded by the test
// browser, and every outcome the screen handles, with what it reports next to the gateway.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_system.h"
#include "fake_application_info.h"
#include "fake_wlan.h"
#include "invitation/registration_dialog.h"
#include "printer_oids.h"
#include "printerutil/device_operations.h"
#include "printerutil/server_param.h"
#include "printerutil_testing/fake_waits.h"
#include "printerutil_testing/sample_registration.h"
#include "qelinfo/ApplicationInfo.h"
#include "qelworld/qelworld_client.h"
#include "resource.h"
#include "simulated_cloud.h"
#include "testkit/dialog_robot.h"
#include "testkit/page_recorder.h"
#include "testkit/registry_sandbox.h"
#include "testkit/table_part.h"
#include "testkit/text_ids.h"
#include "vtwidus/vtwidussim_client.h"
#include "win/module_path.h"
#include "world_device_library.h"

namespace {

using qelinvitation::RegistrationDialog;
using qeltest::DialogView;
using qeltest::TextId;
using vtqeldevc::test::FakeInterface;

constexpr char kWorld[] = R"(
[printer home]
model = VT-X100 Series
serial = 5A3X01234
region = 1
wireless-mac = 00:1B:A9:3C:00:01
ipv4 = 192.168.1.31
queue = Home Queue
qel-service = serviceA
agreement = unknown
next-printer-id = VTP-0001-AAAA-0001

[printer desk]
model = VT-M200 Series
serial = 8D1W09012
region = 1
wireless-mac = 00:1B:A9:6F:00:04
usb = vtwidwus
usb-port = USB001
queue = Desk Queue
qel-service = serviceA
agreement = unknown
next-printer-id = VTP-0002-BBBB-0002
ap = HomeNet signal -40 key home-key
ap = "Cafe Corner" signal -70
)";

constexpr int kSnmpSet = 0xA3;
constexpr int kSnmpBadValue = 3;

constexpr wchar_t kInstalledDevices[] = L"SOFTWARE\\Velto\\PREPLY4\\InstalledDevice";

// The PC is on HomeNet and keeps its key.
FakeInterface OnHomeNet() {
    FakeInterface face;
    face.state = wlan_interface_state_connected;
    face.connected_ssid = "HomeNet";
    face.profiles = {{L"HomeNet", vtqeldevc::test::ProfileXml(L"HomeNet", L"HomeNet", L"passPhrase",
                                                              L"false", L"home-key")}};
    return face;
}

// Facts whose residence cannot be read once the test says so: the program itself failing on
// the way to a registration.
class FailingFacts final : public qelinfo::IApplicationInfo {
public:
    explicit FailingFacts(qelinfo::ApplicationInfo& facts) : facts_(facts) {}
    bool failing = false;

    const std::wstring& GetLaunchString() override { return facts_.GetLaunchString(); }
    const std::wstring& GetServiceKind() override { return facts_.GetServiceKind(); }
    qelinfo::IllustrationMap* GetIllustrations() override { return facts_.GetIllustrations(); }
    int* GetUsbRetried() override { return facts_.GetUsbRetried(); }
    int* GetUserAction() override { return facts_.GetUserAction(); }
    const std::wstring& GetDeviceName() override { return facts_.GetDeviceName(); }
    const std::wstring& GetSerialNumber() override { return facts_.GetSerialNumber(); }
    const std::wstring& GetLanguageCode() override { return facts_.GetLanguageCode(); }
    const std::wstring& GetResidence() override {
        if (failing) {
            throw std::bad_alloc();
        }
        return facts_.GetResidence();
    }
    const std::wstring& GetArea() override { return facts_.GetArea(); }
    const std::wstring& GetRegionCode() override { return facts_.GetRegionCode(); }
    const std::wstring& GetOSVersion() override { return facts_.GetOSVersion(); }
    const std::wstring& GetUserAgent() override { return facts_.GetUserAgent(); }
    int GetLaunchMode() override { return facts_.GetLaunchMode(); }
    const std::wstring& GetVersion() override { return facts_.GetVersion(); }
    int GetSendInfoCode() override { return facts_.GetSendInfoCode(); }

private:
    qelinfo::ApplicationInfo& facts_;
};

class RegistrationOutcomeTest : public qeltest::MachineKeySandbox {
protected:
    void SetUp() override {
        MachineKeySandbox::SetUp();
        ASSERT_TRUE(texts_.Load(qeltest::kTextIdsLanguage));
        ASSERT_TRUE(world_.Loaded());
        ASSERT_TRUE(usb_.Loaded());
        ASSERT_EQ(world_.Load(kWorld), "");
        cloud_.Reset();
        library_.usbQueues = {L"Desk Queue"};
    }
    void TearDown() override {
        cloud_.Release();
        MachineKeySandbox::TearDown();
    }

    // What the opening flow gives the screen: the printer found at the address and the facts
    // chosen for it, with the content of a serviceA printer of region "1".
    std::shared_ptr<printerutil::stDeviceData> FindPrinter(const std::wstring& address) {
        const printerutil::DeviceList found = printerutil::FindPrinterByAddress(address);
        EXPECT_EQ(found.size(), 1u);
        if (found.empty()) {
            return std::make_shared<printerutil::stDeviceData>();
        }
        const auto& device = found.front();
        facts_.SetLaunchContext(device->qelSupport != 0, device->agreement != 0, device->modelName,
                                device->serialNumber, L"EN", L"asia", L"JP", device->regionCode,
                                device->serviceKind, qelinfo::kLaunchInstallerReg);
        facts_.SetIllustrations({{L"1", {L"illust.png", TextId(15017), TextId(15018)}}});
        return device;
    }

    std::string Gateway(int index, const char* field) {
        return cloud_.Field(index, field, "/gateway/capi").value_or("<none>");
    }

    qelui::TextLibrary texts_;
    qelcloud::SimulatedCloud cloud_;
    printerutil::ScopedServiceAddresses addresses_{
        printerutil::testing::SampleServiceAddresses(cloud_)};
    printerutil::testing::FakeWaits waits_;
    printerutil::ScopedWaits waitsScope_{waits_};
    qelworld::Client world_{qelwin::ThisModuleFolder()};
    vtqeldevc::test::FakeWlan wlan_;
    vtwidussim::Client usb_{qelwin::ThisModuleFolder()};
    qelinvitation::testing::WorldDeviceLibrary library_{&wlan_.api()};
    qelinfo::ApplicationInfo facts_;

public:
    FailingFacts* failingFacts = nullptr;
};

// One thing the user does, or sees and answers.
using Step = std::function<void(qeltest::DialogRobot&, RegistrationOutcomeTest&)>;

Step Press(int id) {
    return [id](qeltest::DialogRobot& robot, RegistrationOutcomeTest&) {
        robot.ThenOn(IDC_INVITATION_REGISTER, "press " + std::to_string(id),
                     [id](DialogView& v) { v.Click(id); });
    };
}

// The program fails (from now on, or no more) on its way to a registration.
Step Failing(bool failing) {
    return [failing](qeltest::DialogRobot& robot, RegistrationOutcomeTest& test) {
        robot.ThenOn(IDC_INVITATION_REGISTER, failing ? "the program fails" : "it fails no more",
                     [failing, &test](DialogView&) { test.failingFacts->failing = failing; });
    };
}

// Answers the agreement dialog.
Step Agree(int answer = IDC_AGREE) {
    return [answer](qeltest::DialogRobot& robot, RegistrationOutcomeTest&) {
        robot.ThenOn(IDC_AGREE, "agreement", [answer](DialogView& v) { v.Click(answer); });
    };
}

Step Box(int textId, int answer = IDOK) {
    return [textId, answer](qeltest::DialogRobot& robot, RegistrationOutcomeTest&) {
        robot.ThenOnMessageBox("box " + std::to_string(textId), [=](DialogView& v) {
            EXPECT_EQ(v.MessageText(), TextId(textId));
            EXPECT_EQ(v.Caption(), TextId(10001));
            EXPECT_NE(v.Owner(), nullptr);
            v.Click(answer);
        });
    };
}

// The confirmation that the printer join the network the PC uses.
Step Confirm(int answer) {
    return [answer](qeltest::DialogRobot& robot, RegistrationOutcomeTest&) {
        robot.ThenOn(IDC_WIFI_PRINTER, "confirm the network", [answer](DialogView& v) {
            EXPECT_EQ(v.Text(IDC_WIFI_PRINTER), L"VT-M200 Series(8D1W09012)");
            EXPECT_EQ(v.Text(IDC_WIFI_NETWORK), L"HomeNet");
            EXPECT_NE(v.Owner(), nullptr);
            v.Click(answer);
        });
    };
}

// The network chosen by name with its key typed (message: why the dialog asks), then answered.
Step ChooseNetwork(const wchar_t* name, const wchar_t* key, int message, int answer = IDC_SSID_OK) {
    return [=](qeltest::DialogRobot& robot, RegistrationOutcomeTest&) {
        robot.ThenOn(IDC_SSID_NAME, "choose the network", [=](DialogView& v) {
            EXPECT_EQ(v.Text(IDC_WIFI_MESSAGE), TextId(message));
            ASSERT_NE(::SendDlgItemMessageW(v.Handle(), IDC_SSID_NAME, CB_SELECTSTRING,
                                            static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(name)),
                      CB_ERR);
            v.Type(IDC_SSID_KEY, key);
        });
        robot.ThenOn(IDC_SSID_NAME, "answer", [answer](DialogView& v) { v.Click(answer); });
    };
}

// The connect-failed dialog.
Step ConnectFailed(int answer) {
    return [answer](qeltest::DialogRobot& robot, RegistrationOutcomeTest&) {
        robot.ThenWhen(
            [](const DialogView& v) { return v.Has(IDC_WIFI_MANUAL) && !v.Has(IDC_WIFI_PRINTER); },
            "connect failed", [answer](DialogView& v) { v.Click(answer); });
    };
}

// The screen behind the status progress dialog still paints: its banner, painted over, comes
// back when the screen is redrawn. The cloud holds the registration's report meanwhile.
Step WatchProgress(qelcloud::SimulatedCloud& cloud) {
    return [&cloud](qeltest::DialogRobot& robot, RegistrationOutcomeTest&) {
        robot.ThenOn(IDC_STATUS_PROGRESS_BAR, "the screen paints behind", [&cloud](DialogView& v) {
            EXPECT_EQ(v.Caption(), L"");
            HWND screen = v.Owner();
            ASSERT_NE(::GetDlgItem(screen, IDC_INVITATION_BANNER), nullptr);
            HWND banner = ::GetDlgItem(screen, IDC_INVITATION_BANNER);
            HDC dc = ::GetDC(banner);
            RECT area{};
            ::GetClientRect(banner, &area);
            ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            EXPECT_EQ(::GetPixel(dc, 400, 5), RGB(0, 0, 0));
            ::RedrawWindow(screen, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            EXPECT_NE(::GetPixel(dc, 400, 5), RGB(0, 0, 0));
            ::ReleaseDC(banner, dc);
            EXPECT_TRUE(v.Screenshot(L"invitation-registering.bmp"));
            cloud.Release();
        });
    };
}

TEST_F(RegistrationOutcomeTest, EachOutcomeIsShownAndReportedWithTheNextRequest) {
    const qeltest::PageRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    struct Row {
        const char* name;
        bool usb = false; // the USB printer without Internet (refusals times); else the network one
        int refusals = 1;
        bool installerAgreed = false;
        bool pcOnHomeNet = false;            // the PC keeps the key of the network it is on
        bool applyRefused = false;           // the USB printer refuses the first network written
        std::vector<const char*> world = {}; // lines of the printer's section
        std::vector<std::string> rules = {}; // of the cloud
        std::vector<Step> steps = {};
        // Expected: how the screen closed (after Skip: no identity, no page, the notice last),
        // the state it keeps and reports to the gateway with its last request (send-info code,
        // user action), the page opened, the network the printer is on.
        INT_PTR closedWith = IDC_INVITATION_REGISTER;
        int sendInfo = 0x02;
        int userAction = 1;
        const char* uah = "NONE";
        bool usbRetry = false;
        const char* joined = nullptr;
        bool page = true;
    };
    const auto register_ = Press(IDC_INVITATION_REGISTER);
    const auto skip = Press(IDC_INVITATION_SKIP);
    constexpr INT_PTR kSkipped = IDC_INVITATION_SKIP;
    std::vector<Row> rows = {
        {.name = "registered with the installer's agreement",
         .installerAgreed = true,
         .steps = {register_},
         .sendInfo = 0x01},
        {.name = "registered after Agree; the screen paints meanwhile",
         .rules = {R"({"path": "/gateway/api0122", "hold": true, "times": 1})"},
         .steps = {register_, Agree(), WatchProgress(cloud_)}},
        {.name = "declined, then registered with the image button after Agree",
         .steps = {register_, Agree(IDC_DISAGREE), Press(IDC_INVITATION_IMAGE_BUTTON), Agree()},
         .closedWith = IDC_INVITATION_IMAGE_BUTTON,
         .sendInfo = 0x06},
        {.name = "the gateway gives no page: the screen closes and opens nothing",
         .rules = {R"({"path": "/gateway/api0122", "fields": {"open_url": null}})"},
         .steps = {register_, Agree()},
         .page = false},
        {.name = "the printer is busy: try again later",
         .world = {"reply-fault = qel ReceiveData refuse DeviceUseOtherJob"},
         .steps = {register_, Agree(), Box(11009), skip},
         .closedWith = kSkipped,
         .sendInfo = 0x0A},
        {.name = "the gateway fails: the failure box, and again registered",
         .rules = {R"({"path": "/gateway/api0122", "status": 500, "times": 1})"},
         .steps = {register_, Agree(), Box(11003), register_},
         .sendInfo = 0x12},
        {.name = "the program fails on the way: the failure box, and the screen stays",
         .steps = {Failing(true), register_, Agree(), Box(11003), Failing(false), skip},
         .closedWith = kSkipped,
         .sendInfo = 0x12},
        {.name = "USB: the question declined",
         .usb = true,
         .steps = {register_, Agree(), Box(17001, IDCANCEL), skip},
         .closedWith = kSkipped,
         .userAction = 2,
         .uah = "CDLG1"},
        {.name = "USB: the printer sees no network",
         .usb = true,
         .world = {"ap = none"},
         .steps = {register_, Agree(), Box(17001), Box(17016), skip},
         .closedWith = kSkipped,
         .userAction = 5,
         .uah = "CDLG5"},
        {.name = "USB: the PC's network confirmed, applied, registered again",
         .usb = true,
         .pcOnHomeNet = true,
         .steps = {register_, Agree(), Box(17001), Confirm(IDC_WIFI_OK)},
         .userAction = 3,
         .uah = "CDLG2",
         .usbRetry = true,
         .joined = "HomeNet"},
        {.name = "USB: the PC's network refused",
         .usb = true,
         .pcOnHomeNet = true,
         .steps = {register_, Agree(), Box(17001), Confirm(IDC_WIFI_CANCEL), skip},
         .closedWith = kSkipped,
         .userAction = 3,
         .uah = "CDLG2"},
        {.name = "USB: the PC's network set up by hand from the confirmation",
         .usb = true,
         .pcOnHomeNet = true,
         .steps = {register_, Agree(), Box(17001), Confirm(IDC_WIFI_MANUAL),
                   ChooseNetwork(L"HomeNet", L"home-key", 17006)},
         .userAction = 6,
         .uah = "SDLG1",
         .usbRetry = true,
         .joined = "HomeNet"},
        {.name = "USB: the PC's network unseen, one chosen by name",
         .usb = true,
         .steps = {register_, Agree(), Box(17001), ChooseNetwork(L"HomeNet", L"home-key", 17005)},
         .userAction = 7,
         .uah = "SDLG2",
         .usbRetry = true,
         .joined = "HomeNet"},
        {.name = "USB: no network chosen",
         .usb = true,
         .steps = {register_, Agree(), Box(17001),
                   ChooseNetwork(L"HomeNet", L"home-key", 17005, IDC_SSID_CANCEL), skip},
         .closedWith = kSkipped,
         .userAction = 7,
         .uah = "SDLG2"},
        {.name = "USB: the printer refuses the network, connect failed, set up by hand",
         .usb = true,
         .pcOnHomeNet = true,
         .applyRefused = true,
         .steps = {register_, Agree(), Box(17001), Confirm(IDC_WIFI_OK),
                   ConnectFailed(IDC_WIFI_MANUAL), ChooseNetwork(L"HomeNet", L"home-key", 17006)},
         .userAction = 6,
         .uah = "SDLG1",
         .usbRetry = true,
         .joined = "HomeNet"},
        {.name = "USB still without Internet after the recovery: set up by hand at once",
         .usb = true,
         .refusals = 2,
         .pcOnHomeNet = true,
         .steps = {register_, Agree(), Box(17001), Confirm(IDC_WIFI_OK),
                   ConnectFailed(IDC_WIFI_MANUAL), ChooseNetwork(L"HomeNet", L"home-key", 17006)},
         .userAction = 6,
         .uah = "SDLG1",
         .usbRetry = true,
         .joined = "HomeNet"},
        {.name = "USB still without Internet, the setup flow left: the screen stays",
         .usb = true,
         .refusals = 2,
         .pcOnHomeNet = true,
         .steps = {register_, Agree(), Box(17001), Confirm(IDC_WIFI_OK),
                   ConnectFailed(IDC_WIFI_CANCEL), skip},
         .closedWith = kSkipped,
         .userAction = 4,
         .uah = "CDLG4",
         .joined = "HomeNet"},
    };
    std::size_t pagesBefore = 0;
    for (const Row& r : qeltest::RowsOfThisPart(rows)) {
        SCOPED_TRACE(r.name);
        const std::string printer = r.usb ? "desk" : "home";
        ASSERT_EQ(world_.Load(kWorld), "");
        if (r.usb) {
            ASSERT_EQ(world_.Configure(printer, "reply-fault = qel ReceiveData refuse "
                                                "NotConnectInternet times " +
                                                    std::to_string(r.refusals)),
                      "");
        }
        for (const char* line : r.world) {
            ASSERT_EQ(world_.Configure(printer, line), "");
        }
        cloud_.Reset();
        for (const auto& rule : r.rules) {
            cloud_.AddRule(rule);
        }
        wlan_.interfaces.clear();
        if (r.pcOnHomeNet) {
            wlan_.interfaces.push_back(OnHomeNet());
        }
        usb_->ClearFaults();
        if (r.applyRefused) {
            const std::string ssid(vtwidussim::oids::kInfraSsid);
            const VTWIDUSSIM_Fault refuse{
                VTWIDUSSIM_ENTRY_Comm,          -1,           ssid.c_str(), kSnmpSet, 0, 1,
                VTWIDUSSIM_ACTION_ERROR_STATUS, kSnmpBadValue};
            ASSERT_GE(usb_->AddFault(&refuse), 0);
        }
        DeleteKey(kInstalledDevices);
        const auto device = FindPrinter(r.usb ? L"Desk Queue" : L"Home Queue");
        if (r.installerAgreed) {
            WriteDword(std::wstring(kInstalledDevices) + L"\\" + device->modelName + L"\\" +
                           device->serialNumber,
                       L"SEND_INFO_AGREE", 1);
        }
        FailingFacts facts(facts_);
        failingFacts = &facts;
        RegistrationDialog screen(qelapp::ProgramSystem());
        screen.SetTextLibrary(&texts_);
        screen.SetApplicationInfo(&facts);
        screen.SetPrinterAddress(r.usb ? L"Desk Queue" : L"Home Queue");
        screen.SetDeviceData(device);

        qeltest::DialogRobot robot;
        for (const Step& step : r.steps) {
            step(robot, *this);
        }
        const bool skipped = r.closedWith == kSkipped;
        EXPECT_EQ(screen.DoModal(), r.closedWith);
        EXPECT_EQ(screen.SendInfoCode(), r.sendInfo);
        EXPECT_EQ(screen.UserAction(), r.userAction);
        EXPECT_EQ(screen.UsbRetry(), r.usbRetry);
        EXPECT_EQ(world_.Get(printer, "unregistered-id") == world_.Get(printer, "next-printer-id"),
                  !skipped);
        EXPECT_EQ(world_.Get(printer, "wifi-ssid"), r.joined ? r.joined : "");
        EXPECT_EQ(Gateway(-1, "info.q.FNC"), skipped ? "UREG_SKIP" : "UREG_AUTO");
        char fus[8];
        std::snprintf(fus, sizeof(fus), "%04X", r.sendInfo);
        EXPECT_EQ(Gateway(-1, "info.q.FUS"), fus);
        EXPECT_EQ(Gateway(-1, "info.q.UAH"), r.uah);
        const std::size_t opened = !skipped && r.page ? 1 : 0;
        const auto pages = recorder.WaitForPages(pagesBefore + opened);
        ASSERT_EQ(pages.size(), pagesBefore + opened);
        if (opened > 0) {
            EXPECT_EQ(pages.back().rfind(cloud_.Url(L"/gateway/page"), 0), 0u)
                << pages.back().c_str();
        }
        pagesBefore = pages.size();
    }
}

} // namespace
