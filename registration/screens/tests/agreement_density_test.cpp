// The agreement dialog at 144 pixels per inch (the density injected, the display's being fixed
// when Wine started), in English: it grows with its fonts, so Agree and Disagree stay whole
// inside it and no control covers another; a picture goes to the test artifacts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "screens/agreement_dialog.h"
#include "testkit/dialog_robot.h"
#include "testkit/layout_checks.h"
#include "ui/dialog_font.h"

namespace {

TEST(AgreementDensity, TheDialogGrowsWithItsFontsAt144PixelsPerInch) {
    qelui::TextLibrary english;
    ASSERT_TRUE(english.Load(L"EN"));
    const qelui::ScopedPixelsPerInch dpi(144);
    qeltest::DialogRobot robot;
    robot.ThenOn(IDC_AGREE, "look at the dialog", [&](qeltest::DialogView& v) {
        const SIZE client = v.ClientSize();
        EXPECT_EQ(client.cx, 900);
        EXPECT_EQ(client.cy, 480 - ::GetSystemMetrics(SM_CYSIZE));
        qeltest::ExpectPlace(v, IDC_AGREE, 645, 379, 225, 38);
        qeltest::ExpectFont(v, IDC_AGREE, 10, FW_NORMAL);
        qeltest::ExpectFont(v, IDC_AGREEMENT_NOTE, 9, FW_NORMAL);
        EXPECT_EQ(qeltest::LayoutFaults(qeltest::ShownLayout(v),
                                        {IDC_AGREEMENT_HEADING, IDC_AGREEMENT_TEXT,
                                         IDC_AGREEMENT_NOTE, IDC_AGREE, IDC_DISAGREE}),
                  std::vector<std::string>{});
        EXPECT_TRUE(v.Screenshot(L"agreement-144dpi.bmp"));
        v.Click(IDC_DISAGREE);
    });
    qelscreens::AgreementDialog agreement(&english, nullptr);
    EXPECT_EQ(agreement.DoModal(nullptr), IDC_DISAGREE);
}

} // namespace
