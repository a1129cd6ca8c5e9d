// Every screen of the program (each invitation layout, every other dialog and every box) in each
// language the build ships, at 96 and at 144 pixels per inch (the density injected, the
// display's being fixed when Wine started): every visible control lies inside its dialog, no two
// texts overlap and every text fits its control, measured in the control's own font. The
// invitation also grows with its fonts, its pictures with their controls, and the texts on the
// card show the card. A picture of each goes to the test artifacts.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_system.h"
#include "app/invite_content.h"
#include "fake_application_info.h"
#include "invitation/invitation_layout.h"
#include "invitation/registration_dialog.h"
#include "printerlist/printer_list_dialog.h"
#include "resource.h"
#include "screens/about_dialog.h"
#include "screens/agreement_dialog.h"
#include "screens/progress_dialog.h"
#include "testkit/dialog_robot.h"
#include "testkit/layout_checks.h"
#include "testkit/registry_sandbox.h"
#include "testkit/text_fit.h"
#include "testkit/windows.h"
#include "ui/dialog_font.h"
#include "ui/message_box.h"
#include "win/gdiplus_session.h"
#include "wifi/access_points.h"
#include "wifi/connect_failed_dialog.h"
#include "wifi/ssid_dialog.h"
#include "wifi/wifi_confirm_dialog.h"

namespace {

using qeltest::DialogView;
using Texts = const qelui::TextLibrary&;

class InvitationDensityTest : public qeltest::MachineKeySandbox {
protected:
    qelwin::GdiplusSession gdiplus_;
};

// The invitation for a printer of that region and service kind, with the content the flows give it.
void OpenInvitation(Texts texts, const wchar_t* region, const wchar_t* kind) {
    qelhttp::testing::FakeApplicationInfo facts;
    facts.deviceName = L"VZ Printer 500";
    facts.serialNumber = L"SN0042";
    facts.area = L"DE";
    facts.regionCode = region;
    facts.serviceKind = kind;
    int n = 0;
    for (const qelapp::InviteEntry& e : qelapp::ChooseInviteContent({region, kind, L"DE", L""})) {
        facts.illustrations[std::to_wstring(++n)] = {e.imageFile, texts.LoadText(e.titleText),
                                                     texts.LoadText(e.bodyText)};
    }
    auto device = std::make_shared<printerutil::stDeviceData>();
    device->regionCode = region;
    qelinvitation::RegistrationDialog screen(qelapp::ProgramSystem());
    screen.SetTextLibrary(&texts);
    screen.SetApplicationInfo(&facts);
    screen.SetDeviceData(device);
    EXPECT_EQ(screen.DoModal(), 0);
}

// The invitation's own checks: its size, its fonts, its pictures and its card.
void LookAtInvitation(const DialogView& v, int dpi, int picture) {
    const SIZE client = v.ClientSize();
    EXPECT_EQ(client.cx, qelinvitation::InvitationClientSize(dpi).cx);
    EXPECT_EQ(client.cy, qelinvitation::InvitationClientSize(dpi).cy);
    qeltest::ExpectFont(v, IDC_INVITATION_BODY1, 11, FW_NORMAL);
    qeltest::ExpectFont(v, IDC_INVITATION_REGISTER, 10, FW_NORMAL);
    EXPECT_EQ(
        qeltest::LayoutFaults(qeltest::ShownLayout(v),
                              {IDC_INVITATION_TITLE1, IDC_INVITATION_BODY1, IDC_INVITATION_TITLE2,
                               IDC_INVITATION_BODY2, IDC_INVITATION_IMAGE_BUTTON, IDC_SEPARATOR,
                               IDC_INVITATION_SKIP, IDC_INVITATION_REGISTER}),
        std::vector<std::string>{});
    if (picture != 0) {
        // The picture fills its grown control: its far corner is drawn, not left bare.
        const RECT area = v.Rect(picture);
        EXPECT_NE(qeltest::ScreenPixel(::GetDlgItem(v.Handle(), picture),
                                       (area.right - area.left) * 3 / 4,
                                       (area.bottom - area.top) / 2),
                  ::GetSysColor(COLOR_3DFACE));
    }
    if (v.Visible(IDC_INVITATION_IMAGE_BUTTON)) {
        // The grown button keeps its key exact: the card shows through its corner.
        EXPECT_EQ(qeltest::ScreenPixel(::GetDlgItem(v.Handle(), IDC_INVITATION_IMAGE_BUTTON), 1, 1),
                  RGB(255, 255, 255));
        // The text shows the card under it: its lower left corner lies on the card's pale
        // corner, not in a white box cut out of it.
        const RECT text = v.Rect(IDC_INVITATION_BODY1);
        EXPECT_NE(qeltest::ScreenPixel(::GetDlgItem(v.Handle(), IDC_INVITATION_BODY1), 2,
                                       text.bottom - text.top - 2),
                  RGB(255, 255, 255));
    }
}

// A background operation that never ends: only the robot closes its progress dialog.
class Endless final : public qelscreens::PollingCallBack {
public:
    bool IsDone() override { return false; }
    void Cancel() override {}
};

void OpenProgress(Texts texts, qelscreens::ProgressDialog which) {
    Endless endless;
    qelscreens::DialogTimer timer;
    timer.SetTextLibrary(&texts);
    timer.SetCallback(&endless);
    timer.DoModal(which, nullptr);
    timer.Reset();
}

qelinfo::ApplicationInfo& Printer() {
    static qelinfo::ApplicationInfo facts;
    facts.SetLaunchContext(true, true, L"VZ Printer 500", L"SN0042", L"EN", L"asia", L"JP", L"1", 1,
                           0);
    return facts;
}

void OpenNetworkName(Texts texts, bool notSeen) {
    qelwifi::AccessPointBuffer points{};
    ::lstrcpynW(points[0].ssid, L"Home Net (2.4)", 33);
    std::wstring name, key;
    qelwifi::SsidDialog dialog(&texts);
    dialog.SetApList(&Printer(), points.data(), static_cast<int>(points.size()), &name, &key,
                     notSeen);
    dialog.DoModal(nullptr);
}

void OpenBox(Texts texts, int text, UINT style) {
    qelui::ShowTextMessageBox(qelapp::ProgramSystem(), nullptr, texts, text, style);
}

TEST_F(InvitationDensityTest, EveryScreenHoldsItsTextsInEveryLanguageAt96And144PixelsPerInch) {
    using qelscreens::ProgressDialog;
    struct Screen {
        const wchar_t* name; // also names its picture
        std::function<void(Texts)> open;
        int picture = 0;         // the invitation's control whose picture must fill it
        bool invitation = false; // with the invitation's own checks
    };
    const std::wstring ssid = L"Home Net (2.4)";
    const auto invitation = [](const wchar_t* region, const wchar_t* kind) {
        return [=](Texts t) { OpenInvitation(t, region, kind); };
    };
    const auto box = [](int text, UINT style) { return [=](Texts t) { OpenBox(t, text, style); }; };
    const Screen screens[] = {
        {L"invitation-button", invitation(L"1", L"serviceA"), IDC_INVITATION_IMAGE1, true},
        {L"invitation-two-column", invitation(L"C", L"serviceA"), IDC_INVITATION_IMAGE1, true},
        {L"invitation-list", invitation(L"1", L"auto"), 0, true},
        {L"invitation-list-of-text", invitation(L"3", L"serviceA"), 0, true},
        {L"agreement", [](Texts t) { qelscreens::AgreementDialog(&t, nullptr).DoModal(nullptr); }},
        {L"about", [](Texts t) { qelscreens::AboutDialog(&t).DoModal(nullptr); }},
        {L"printer-list",
         [](Texts t) { qelprinterlist::PrinterListDialog(nullptr, &t).DoModal(nullptr); }},
        {L"progress-search", [](Texts t) { OpenProgress(t, ProgressDialog::kSearch); }},
        {L"progress-status", [](Texts t) { OpenProgress(t, ProgressDialog::kStatus); }},
        {L"wifi-confirm",
         [&](Texts t) {
             qelwifi::WifiConfirmDialog dialog(&t);
             dialog.SetData(&Printer(), &ssid);
             dialog.DoModal(nullptr);
         }},
        {L"wifi-network-not-seen", [](Texts t) { OpenNetworkName(t, true); }},
        {L"wifi-network-manual", [](Texts t) { OpenNetworkName(t, false); }},
        {L"wifi-failed",
         [](Texts t) { qelwifi::ConnectFailedDialog(&t, &Printer()).DoModal(nullptr); }},
        {L"box-11003", box(11003, MB_ICONERROR)},
        {L"box-11007", box(11007, MB_ICONERROR)},
        {L"box-11008", box(11008, MB_ICONQUESTION)},
        {L"box-11009", box(11009, MB_ICONERROR)},
        {L"box-11010", box(11010, MB_ICONQUESTION)},
        {L"box-17001", box(17001, MB_OKCANCEL | MB_ICONQUESTION)},
        {L"box-17016", box(17016, MB_ICONERROR)},
    };
    int rows = 0;
    for (const wchar_t* language : {L"EN", L"DE"}) {
        qelui::TextLibrary texts;
        ASSERT_TRUE(texts.Load(language));
        for (int dpi : {96, 144}) {
            const qelui::ScopedPixelsPerInch density(dpi);
            for (const Screen& s : screens) {
                const std::wstring row =
                    std::wstring(s.name) + L"-" + language + L"-" + std::to_wstring(dpi) + L"dpi";
                SCOPED_TRACE(qeltest::Utf8(row));
                qeltest::DialogRobot robot;
                robot.Then("look at the screen", [&](DialogView& v) {
                    for (const std::string& fault : qeltest::TextFitFaults(v)) {
                        ADD_FAILURE() << fault;
                    }
                    if (s.invitation) {
                        LookAtInvitation(v, dpi, s.picture);
                    }
                    EXPECT_TRUE(v.Screenshot(row + L".bmp"));
                    ::EndDialog(v.Handle(), 0);
                });
                s.open(texts);
                ++rows;
            }
        }
    }
    EXPECT_EQ(rows, 20 * 2 * 2);
}

} // namespace
