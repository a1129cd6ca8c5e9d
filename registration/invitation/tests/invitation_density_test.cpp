// Every screen (each invitation layout, every other dialog and every box) in each language of the
// build at 96 and 144 pixels per inch (the density injected, the display's being fixed when Wine
// started): every control inside it, no two texts overlapping, each text fitting its control in
// the control's font. Each invitation layout grows with its fonts, every control stays inside
// the screen and clear of the others, the pictures grow with their controls and the texts on the
// card show the card; a picture of each goes to the test artifacts.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_system.h"
#include "fake_application_info.h"
#include "invitation/invitation_layout.h"
#include "invitation/registration_dialog.h"
#include "printerlist/printer_list_dialog.h"
#include "resource.h"
#include "screens/about_dialog.h"
#include "screens/agreement_dialog.h"
#include "screens/run_with_progress.h"
#include "testkit/dialog_robot.h"
#include "testkit/layout_checks.h"
#include "testkit/registry_sandbox.h"
#include "testkit/text_fit.h"
#include "ui/dialog_font.h"
#include "ui/message_box.h"
#include "wifi/screen_recovery.h"
#include "win/gdiplus_session.h"

namespace {

using qeltest::DialogView;

class InvitationDensityTest : public qeltest::MachineKeySandbox,
                              public testing::WithParamInterface<std::tuple<const wchar_t*, int>> {
protected:
    void SetUp() override {
        MachineKeySandbox::SetUp();
        ASSERT_TRUE(texts_.Load(std::get<0>(GetParam())));
    }

    qelinfo::IllustrationInfo Entry(const wchar_t* picture, int title, int body) const {
        return {picture, texts_.LoadText(title), texts_.LoadText(body)};
    }

    qelwin::GdiplusSession gdiplus_;
    qelui::TextLibrary texts_; // of the language of the run
};

TEST_P(InvitationDensityTest, EveryScreenHoldsItsTexts) {
    struct Case {
        const char* name;
        const wchar_t* region;
        const wchar_t* kind;
        qelinfo::IllustrationMap content;
        int picture; // the control whose picture must fill it: 0 none
        const wchar_t* screenshot;
        std::function<void()> open{}; // a screen other than the invitation
    };
    const auto other = [](auto name, auto open) { return Case{"", L"", L"", {}, 0, name, open}; };
    using namespace qelscreens;
    using enum ProgressDialog;
    const auto box = [&](int text, UINT style) {
        qelui::ShowTextMessageBox(qelapp::ProgramSystem(), nullptr, texts_, text, style);
    };
    // Taken only once its progress dialog has closed, the task is never done while it polls.
    const auto taken = [](CancelFlag*) { return std::async(std::launch::deferred, [] {}); };
    qelhttp::testing::FakeApplicationInfo printer;
    printer.deviceName = L"VZ Printer 500";
    qelwifi::DialogWifiScreens wifi({nullptr, texts_, &printer, qelapp::ProgramSystem()});
    qelwifi::AccessPointBuffer points{};
    std::wstring name, key;
    const Case cases[] = {
        {"button layout",
         L"1",
         L"serviceA",
         {{L"1", Entry(L"illust.png", 15017, 15018)}},
         IDC_INVITATION_IMAGE1,
         L"invitation-button"},
        {"two columns",
         L"C",
         L"serviceA",
         {{L"1", Entry(L"illust_pr.png", 15019, 15020)}, {L"2", Entry(L"", 15021, 15022)}},
         IDC_INVITATION_IMAGE1,
         L"invitation-two-column"},
        {"list",
         L"1",
         L"auto",
         {{L"1", Entry(L"ICON_PY_KiV.png", 15007, 15008)}},
         0,
         L"invitation-list"},
        {"text list", L"3", L"serviceA", {{L"1", Entry(L"", 15005, 15006)}}, 0, L"invitation-text"},
        other(L"agreement", [&] { AgreementDialog(&texts_, nullptr).DoModal(nullptr); }),
        other(L"about", [&] { AboutDialog(&texts_).DoModal(nullptr); }),
        other(L"list",
              [&] { qelprinterlist::PrinterListDialog(nullptr, &texts_).DoModal(nullptr); }),
        other(L"search", [&] { RunWithProgress(kSearch, nullptr, &texts_, L"", taken); }),
        other(L"status", [&] { RunWithProgress(kStatus, nullptr, &texts_, L"", taken); }),
        other(L"wifi-confirm", [&] { wifi.ConfirmNetwork(L"Home Net (2.4)"); }),
        other(L"wifi-not-seen", [&] { wifi.ChooseNetwork(points, true, name, key); }),
        other(L"wifi-manual", [&] { wifi.ChooseNetwork(points, false, name, key); }),
        other(L"wifi-failed", [&] { wifi.ConnectFailed(); }),
        other(L"box-11003", [&] { wifi.ShowFailure(); }),
        other(L"box-11009", [&] { wifi.ShowRetryLater(); }),
        other(L"box-17001", [&] { wifi.AskToConnect(); }),
        other(L"box-17016", [&] { wifi.ShowNoAccessPoint(); }),
        other(L"box-11007", [&] { box(11007, MB_ICONERROR); }),
        other(L"box-11008", [&] { box(11008, MB_ICONQUESTION); }),
        other(L"box-11010", [&] { box(11010, MB_ICONQUESTION); }),
    };
    const auto [language, density] = GetParam();
    const qelui::ScopedPixelsPerInch dpi(density);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screenshot << " " << language << " " << density);
        qelhttp::testing::FakeApplicationInfo facts;
        facts.deviceName = L"VZ Printer 500";
        facts.serialNumber = L"SN0042";
        facts.languageCode = L"EN";
        facts.area = L"DE";
        facts.regionCode = c.region;
        facts.serviceKind = c.kind;
        facts.illustrations = c.content;
        auto device = std::make_shared<printerutil::stDeviceData>();
        device->regionCode = c.region;
        qelinvitation::RegistrationDialog screen(qelapp::ProgramSystem());
        screen.SetTextLibrary(&texts_);
        screen.SetApplicationInfo(&facts);
        screen.SetDeviceData(device);

        qeltest::DialogRobot robot;
        robot.Then("look at the screen", [&](DialogView& v) {
            qeltest::ExpectTextsFit(v);
            EXPECT_TRUE(v.Screenshot(std::wstring(c.screenshot) + L"-" + language + L"-" +
                                     std::to_wstring(density) + L"dpi.bmp"));
            if (c.open) {
                ::EndDialog(v.Handle(), 0);
                return;
            }
            const SIZE client = v.ClientSize();
            EXPECT_EQ(client.cx, qelinvitation::InvitationClientSize(density).cx);
            EXPECT_EQ(client.cy, qelinvitation::InvitationClientSize(density).cy);
            qeltest::ExpectFont(v, IDC_INVITATION_BODY1, 11, FW_NORMAL);
            qeltest::ExpectFont(v, IDC_INVITATION_REGISTER, 10, FW_NORMAL);
            EXPECT_EQ(qeltest::LayoutFaults(qeltest::ShownLayout(v),
                                            {IDC_INVITATION_TITLE1, IDC_INVITATION_BODY1,
                                             IDC_INVITATION_TITLE2, IDC_INVITATION_BODY2,
                                             IDC_INVITATION_IMAGE_BUTTON, IDC_SEPARATOR,
                                             IDC_INVITATION_SKIP, IDC_INVITATION_REGISTER}),
                      std::vector<std::string>{});
            if (c.picture != 0) {
                // The picture fills its grown control: its far corner is drawn, not left bare.
                HWND picture = ::GetDlgItem(v.Handle(), c.picture);
                const RECT area = v.Rect(c.picture);
                EXPECT_NE(qeltest::ScreenPixel(picture, (area.right - area.left) * 3 / 4,
                                               (area.bottom - area.top) / 2),
                          ::GetSysColor(COLOR_3DFACE));
            }
            if (v.Visible(IDC_INVITATION_IMAGE_BUTTON)) {
                // The grown button keeps its key exact: the card shows through its corner.
                HWND button = ::GetDlgItem(v.Handle(), IDC_INVITATION_IMAGE_BUTTON);
                EXPECT_EQ(qeltest::ScreenPixel(button, 1, 1), RGB(255, 255, 255));
                // The text shows the card under it: its lower left corner lies on the card's
                // pale corner, not in a white box cut out of it.
                HWND body = ::GetDlgItem(v.Handle(), IDC_INVITATION_BODY1);
                const RECT text = v.Rect(IDC_INVITATION_BODY1);
                EXPECT_NE(qeltest::ScreenPixel(body, 2, text.bottom - text.top - 2),
                          RGB(255, 255, 255));
            }
            ::EndDialog(v.Handle(), 0);
        });
        EXPECT_EQ(c.open ? (c.open(), INT_PTR{0}) : screen.DoModal(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(EachLanguageAt96And144PixelsPerInch, InvitationDensityTest,
                         testing::Combine(testing::Values(L"EN", L"DE"), testing::Values(96, 144)));

} // namespace
