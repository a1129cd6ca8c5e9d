// The agreement dialog's pixel layout without a window: its places at 96 pixels per inch, and at
// 96, 120, 144 and 192 every control inside the dialog and clear of the others.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "screens/agreement_dialog.h"
#include "testkit/pixel_layout_checks.h"

namespace {

using qelui::ControlPlace;

TEST(AgreementLayout, GrowsWithTheDensityAndKeepsEveryControlInside) {
    struct Case {
        int dpi;
        int captionButtons; // the system's height of the caption's buttons at that density
        SIZE client;
        ControlPlace note, agree;
    } const cases[] = {
        {96,
         18,
         {600, 302},
         {IDC_AGREEMENT_NOTE, 20, 202, 560, 32},
         {IDC_AGREE, 430, 258, 150, 25}},
        {120,
         22,
         {750, 378},
         {IDC_AGREEMENT_NOTE, 25, 252, 700, 38},
         {IDC_AGREE, 538, 319, 188, 31}},
        {144,
         27,
         {900, 453},
         {IDC_AGREEMENT_NOTE, 30, 301, 840, 44},
         {IDC_AGREE, 645, 379, 225, 38}},
        {192,
         36,
         {1200, 604},
         {IDC_AGREEMENT_NOTE, 40, 400, 1120, 56},
         {IDC_AGREE, 860, 500, 300, 50}},
        // A caption as tall as at 96 leaves the grown dialog taller still.
        {144,
         18,
         {900, 462},
         {IDC_AGREEMENT_NOTE, 30, 301, 840, 44},
         {IDC_AGREE, 645, 379, 225, 38}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dpi << " pixels per inch");
        const qelui::PixelLayout layout = qelscreens::LayOutAgreement(c.dpi, c.captionButtons);
        EXPECT_EQ(layout.client.cx, c.client.cx);
        EXPECT_EQ(layout.client.cy, c.client.cy);
        ASSERT_EQ(layout.controls.size(), 5u);
        EXPECT_EQ(layout.controls[2], c.note);
        EXPECT_EQ(layout.controls[3], c.agree);
        EXPECT_EQ(layout.controls[4].y, c.agree.y) << "Disagree beside Agree";
        EXPECT_EQ(qeltest::LayoutFaults(layout, {IDC_AGREEMENT_HEADING, IDC_AGREEMENT_TEXT,
                                                 IDC_AGREEMENT_NOTE, IDC_AGREE, IDC_DISAGREE}),
                  std::vector<std::string>{});
    }
}

} // namespace
