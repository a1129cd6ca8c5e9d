// The invitation screen at 144 pixels per inch (the density injected, the display's being fixed
// when Wine started): in English, each layout grows with its fonts, every control stays inside
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
#include "resource.h"
#include "testkit/dialog_robot.h"
#include "testkit/layout_checks.h"
#include "testkit/registry_sandbox.h"
#include "ui/dialog_font.h"
#include "win/gdiplus_session.h"

namespace {

using qeltest::DialogView;

class InvitationDensityTest : public qeltest::MachineKeySandbox {
protected:
    void SetUp() override {
        MachineKeySandbox::SetUp();
        ASSERT_TRUE(english_.Load(L"EN"));
    }

    qelinfo::IllustrationInfo Entry(const wchar_t* picture, int title, int body) const {
        return {picture, english_.LoadText(title), english_.LoadText(body)};
    }

    qelwin::GdiplusSession gdiplus_;
    qelui::TextLibrary english_;
};

TEST_F(InvitationDensityTest, EachLayoutGrowsWithItsFontsAt144PixelsPerInch) {
    struct Case {
        const char* name;
        const wchar_t* region;
        const wchar_t* kind;
        qelinfo::IllustrationMap content;
        int picture; // the control whose picture must fill it: 0 none
        const wchar_t* screenshot;
    } const cases[] = {
        {"button layout",
         L"1",
         L"serviceA",
         {{L"1", Entry(L"illust.png", 15017, 15018)}},
         IDC_INVITATION_IMAGE1,
         L"invitation-button-144dpi.bmp"},
        {"two columns",
         L"C",
         L"serviceA",
         {{L"1", Entry(L"illust_pr.png", 15019, 15020)}, {L"2", Entry(L"", 15021, 15022)}},
         IDC_INVITATION_IMAGE1,
         L"invitation-two-column-144dpi.bmp"},
        {"list",
         L"1",
         L"auto",
         {{L"1", Entry(L"ICON_PY_KiV.png", 15007, 15008)}},
         0,
         L"invitation-list-144dpi.bmp"},
    };
    const qelui::ScopedPixelsPerInch dpi(144);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qelhttp::testing::FakeApplicationInfo facts;
        facts.deviceName = L"VZ Printer 500";
        facts.serialNumber = L"SN0042";
        facts.languageCode = L"EN";
        facts.area = L"JP";
        facts.regionCode = c.region;
        facts.serviceKind = c.kind;
        facts.illustrations = c.content;
        auto device = std::make_shared<printerutil::stDeviceData>();
        device->regionCode = c.region;
        qelinvitation::RegistrationDialog screen(qelapp::ProgramSystem());
        screen.SetTextLibrary(&english_);
        screen.SetApplicationInfo(&facts);
        screen.SetDeviceData(device);

        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_INVITATION_REGISTER, "look at the screen", [&](DialogView& v) {
            const SIZE client = v.ClientSize();
            EXPECT_EQ(client.cx, 1185);
            EXPECT_EQ(client.cy, 795);
            qeltest::ExpectFont(v, IDC_INVITATION_BODY1, 11, FW_NORMAL);
            qeltest::ExpectFont(v, IDC_INVITATION_REGISTER, 10, FW_NORMAL);
            EXPECT_EQ(qeltest::LayoutFaults(qeltest::ShownLayout(v),
                                            {IDC_INVITATION_TITLE1, IDC_INVITATION_BODY1,
                                             IDC_INVITATION_TITLE2, IDC_INVITATION_BODY2,
                                             IDC_INVITATION_IMAGE_BUTTON, IDC_SEPARATOR,
                                             IDC_INVITATION_SKIP, IDC_INVITATION_REGISTER}),
                      std::vector<std::string>{});
            EXPECT_TRUE(v.Screenshot(c.screenshot));
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
        EXPECT_EQ(screen.DoModal(), 0);
    }
}

} // namespace
