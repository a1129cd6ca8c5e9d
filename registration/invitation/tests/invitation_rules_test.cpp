// The invitation screen's decisions without a window: the button texts and layout for every
// region and service kind, where each layout puts every control at 96 and 120 pixels per inch and
// that everything fits at 96, 120, 144 and 192, how the image button answers the mouse, and how
// the agreement is settled and reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "invitation/image_button.h"
#include "invitation/invitation_layout.h"
#include "invitation/invitation_rules.h"
#include "invitation/send_info.h"
#include "qelcmn/constants.h"
#include "resource.h"
#include "testkit/pixel_layout_checks.h"

namespace qelinvitation {

void PrintTo(const Placement& p, std::ostream* os) {
    *os << p.id << (p.shown ? "" : " hidden") << " (" << p.x << ", " << p.y << ", " << p.width
        << ", " << p.height << ")";
}

namespace {

constexpr auto kButton = LayoutKind::kButton;
constexpr auto kTwoColumn = LayoutKind::kTwoColumn;
constexpr auto kList = LayoutKind::kList;

TEST(InvitationRules, ButtonTextsAndLayoutByRegionServiceAreaAndAgreement) {
    struct Row {
        const wchar_t* region;
        const wchar_t* kind;
        const wchar_t* area;
        unsigned char agreement;
        int skip, registration;
        bool imageButton;
        LayoutKind layout;
    } const rows[] = {
        {L"1", L"serviceA", L"JP", 0, 10009, 10008, true, kButton},
        {L"1", L"serviceY", L"JP", 2, 10007, 10006, false, kList},
        {L"1", L"auto", L"", 0, 10007, 10006, false, kList},
        {L"3", L"serviceX", L"US", 2, 10012, 10011, false, kTwoColumn},
        {L"3", L"serviceY", L"US", 2, 10007, 10006, false, kList},
        {L"3", L"auto", L"US", 0, 10007, 10006, false, kList},
        {L"4", L"serviceA", L"DE", 0, 10012, 10011, false, kTwoColumn},
        {L"C", L"serviceA", L"", 0, 10012, 10011, false, kTwoColumn},
        // The area decides the texts only: the layout does not look at it.
        {L"4", L"serviceA", L"US", 0, 10007, 10006, false, kTwoColumn},
        {L"C", L"serviceY", L"JP", 2, 10007, 10006, false, kTwoColumn},
        {L"4", L"serviceX", L"GB", 2, 10012, 10011, false, kTwoColumn},
        {L"C", L"serviceY", L"LT", 0, 10007, 10006, false, kList},
        {L"C", L"serviceY", L"EE", 3, 10012, 10011, false, kTwoColumn},
        // "auto" with a reported agreement: the texts count the agreement, the layout does not.
        {L"4", L"auto", L"FR", 1, 10012, 10011, false, kList},
        {L"4", L"auto", L"FR", 0, 10007, 10006, false, kList},
        {L"", L"auto", L"JP", 0, 10007, 10006, false, kList},
        {L"7", L"serviceA", L"DE", 2, 10007, 10006, false, kList},
        {L"c", L"serviceA", L"DE", 2, 10007, 10006, false, kList},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "region " << testing::PrintToString(r.region) << " "
                     << testing::PrintToString(r.kind) << " area " << testing::PrintToString(r.area)
                     << " agreement " << int(r.agreement));
        const ButtonTexts texts = ChooseButtonTexts(r.region, r.kind, r.area, r.agreement);
        EXPECT_EQ(texts.skip, r.skip);
        EXPECT_EQ(texts.registration, r.registration);
        EXPECT_EQ(texts.imageButton, r.imageButton);
        EXPECT_EQ(ChooseLayout(r.region, r.kind, r.agreement), r.layout);
    }
    for (const std::wstring& area : qelcmn::EuropeanCountryCodes) {
        SCOPED_TRACE(testing::PrintToString(area));
        EXPECT_EQ(ChooseButtonTexts(L"C", L"serviceA", area, 0).registration, 10011);
        EXPECT_EQ(ChooseButtonTexts(L"4", L"serviceY", area, 2).skip, 10012);
    }
    EXPECT_EQ(CaptionText(L"auto"), 10013);
    EXPECT_EQ(CaptionText(L"serviceA"), 10001);
    EXPECT_EQ(CaptionText(L""), 10001);
}

// Text 10 pixels a character wide and lineHeight high, as a body font might measure it; wrapped,
// one line: the layouts' own heights hold it.
MeasureText FakeMeasure(int lineHeight) {
    return [lineHeight](TextFont, const std::wstring& text, int wrapWidth) {
        return SIZE{wrapWidth > 0 ? wrapWidth : static_cast<LONG>(10 * text.size()), lineHeight};
    };
}

std::wstring Chars(std::size_t n) {
    return std::wstring(n, L'x');
}

Placement Hidden(int id) {
    return {id, 0, 0, 0, 0, false};
}

// The placements every layout ends with, and the ones it starts with (at 120 pixels per inch
// when at120).
std::vector<Placement> Layout(Placement picture, std::vector<Placement> rows, Placement button,
                              bool at120 = false) {
    std::vector<Placement> all{{IDC_INVITATION_BANNER, 0, 0, at120 ? 988 : 790, at120 ? 50 : 40},
                               picture};
    all.insert(all.end(), rows.begin(), rows.end());
    all.push_back(button);
    if (at120) {
        all.push_back({IDC_SEPARATOR, 0, 575, 988, 1});
        all.push_back({IDC_INVITATION_SKIP, 415, 604, 263, 31});
        all.push_back({IDC_INVITATION_REGISTER, 694, 604, 263, 31});
    } else {
        all.push_back({IDC_SEPARATOR, 0, 460, 790, 1});
        all.push_back({IDC_INVITATION_SKIP, 332, 483, 210, 25});
        all.push_back({IDC_INVITATION_REGISTER, 555, 483, 210, 25});
    }
    return all;
}

const std::vector<Placement> kSecondRowHidden = {
    Hidden(IDC_INVITATION_TITLE2), Hidden(IDC_INVITATION_IMAGE2), Hidden(IDC_INVITATION_BODY2)};

std::vector<Placement> FirstRowThen(std::vector<Placement> first,
                                    const std::vector<Placement>& second = kSecondRowHidden) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(InvitationLayout, EveryLayoutPlacesItsControlsInPixels) {
    const Placement noPicture = Hidden(IDC_INVITATION_PICTURE);
    const Placement noButton = Hidden(IDC_INVITATION_IMAGE_BUTTON);
    const Placement card{IDC_INVITATION_PICTURE, 0, 40, 790, 420};
    const Placement card120{IDC_INVITATION_PICTURE, 0, 50, 988, 525};
    struct Case {
        const char* name;
        LayoutKind kind;
        std::vector<ContentRow> rows;
        int dpi;
        int lineHeight;
        std::vector<Placement> expected;
    } const cases[] = {
        {"button layout with its illustration: the text starts 12 below the button and ends 12 "
         "above the card's edge",
         kButton,
         {{L"t", Chars(500), true}},
         96,
         15,
         Layout(card,
                FirstRowThen({{IDC_INVITATION_TITLE1, 30, 52, 730, 32},
                              {IDC_INVITATION_IMAGE1, 0, 84, 790, 262},
                              {IDC_INVITATION_BODY1, 30, 418, 730, 30}}),
                {IDC_INVITATION_IMAGE_BUTTON, 272, 346, 246, 60})},
        {"button layout at 120 without a picture, two rows; the button follows the last and the "
         "second text has no room left on the card",
         kButton,
         {{L"t", L"b", false}, {L"u", L"c", true}},
         120,
         19,
         Layout(card120,
                FirstRowThen({{IDC_INVITATION_TITLE1, 38, 65, 913, 40},
                              Hidden(IDC_INVITATION_IMAGE1),
                              {IDC_INVITATION_BODY1, 38, 523, 913, 37}},
                             {{IDC_INVITATION_TITLE2, 38, 105, 913, 40},
                              {IDC_INVITATION_IMAGE2, 0, 145, 988, 328},
                              {IDC_INVITATION_BODY2, 38, 563, 913, 0}}),
                {IDC_INVITATION_IMAGE_BUTTON, 340, 473, 308, 75}, true)},
        {"two columns at 96: step 25, body lines of 334 pixels",
         kTwoColumn,
         {{L"t", Chars(67), true}, {L"u", Chars(10), false}},
         96,
         15,
         Layout(noPicture,
                FirstRowThen({{IDC_INVITATION_TITLE1, 382, 84, 370, 22},
                              {IDC_INVITATION_IMAGE1, 38, 84, 324, 334},
                              {IDC_INVITATION_BODY1, 398, 109, 354, 45}},
                             {{IDC_INVITATION_TITLE2, 382, 174, 370, 22},
                              Hidden(IDC_INVITATION_IMAGE2),
                              {IDC_INVITATION_BODY2, 398, 199, 354, 15}}),
                noButton)},
        {"two columns at 120: step 31, lines of 418 pixels; an empty body takes no height",
         kTwoColumn,
         {{L"t", Chars(67), true}, {L"u", L"", false}},
         120,
         19,
         Layout(noPicture,
                FirstRowThen({{IDC_INVITATION_TITLE1, 478, 105, 463, 28},
                              {IDC_INVITATION_IMAGE1, 48, 105, 405, 418},
                              {IDC_INVITATION_BODY1, 498, 136, 443, 38}},
                             {{IDC_INVITATION_TITLE2, 478, 199, 463, 28},
                              Hidden(IDC_INVITATION_IMAGE2),
                              {IDC_INVITATION_BODY2, 498, 230, 443, 0}}),
                noButton, true)},
        {"list at 96: line 20, bodies at least 72 high, 92 below a picture",
         kList,
         {{L"t", Chars(10), true}, {L"u", Chars(200), false}},
         96,
         15,
         Layout(noPicture,
                FirstRowThen({{IDC_INVITATION_TITLE1, 30, 52, 730, 20},
                              {IDC_INVITATION_IMAGE1, 30, 80, 80, 80},
                              {IDC_INVITATION_BODY1, 130, 80, 630, 72}},
                             {{IDC_INVITATION_TITLE2, 30, 172, 730, 20},
                              Hidden(IDC_INVITATION_IMAGE2),
                              {IDC_INVITATION_BODY2, 30, 200, 730, 72}}),
                noButton)},
        {"list at 120: line 24, a tall body beside a picture moves the next row by its height",
         kList,
         {{L"t", Chars(400), true}, {L"u", Chars(300), true}},
         120,
         19,
         Layout(noPicture,
                FirstRowThen({{IDC_INVITATION_TITLE1, 38, 65, 913, 24},
                              {IDC_INVITATION_IMAGE1, 38, 99, 100, 100},
                              {IDC_INVITATION_BODY1, 163, 99, 788, 114}},
                             {{IDC_INVITATION_TITLE2, 38, 228, 913, 24},
                              {IDC_INVITATION_IMAGE2, 38, 262, 100, 100},
                              {IDC_INVITATION_BODY2, 163, 262, 788, 90}}),
                noButton, true)},
        {"list without content: both rows hidden",
         kList,
         {},
         96,
         15,
         Layout(noPicture,
                FirstRowThen({Hidden(IDC_INVITATION_TITLE1), Hidden(IDC_INVITATION_IMAGE1),
                              Hidden(IDC_INVITATION_BODY1)}),
                noButton)},
        {"a third row is never shown",
         kList,
         {{L"t", L"", false}, {L"u", L"", false}, {L"v", Chars(900), true}},
         96,
         15,
         Layout(noPicture,
                FirstRowThen({{IDC_INVITATION_TITLE1, 30, 52, 730, 20},
                              Hidden(IDC_INVITATION_IMAGE1),
                              {IDC_INVITATION_BODY1, 30, 80, 730, 72}},
                             {{IDC_INVITATION_TITLE2, 30, 164, 730, 20},
                              Hidden(IDC_INVITATION_IMAGE2),
                              {IDC_INVITATION_BODY2, 30, 192, 730, 72}}),
                noButton)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LayoutInvitation(c.kind, c.rows, c.dpi, FakeMeasure(c.lineHeight)), c.expected);
    }
}

// The body font at that density as a proportional face measures it: half an em a character,
// lines of 1.2 em; wrapped, one line, so the layouts' own heights count.
MeasureText BodyFontMeasure(int dpi) {
    const int em = ::MulDiv(11, dpi, 72);
    return [em](TextFont, const std::wstring& text, int) {
        return SIZE{static_cast<LONG>(text.size()) * em / 2, em * 6 / 5};
    };
}

TEST(InvitationLayout, EveryLayoutFitsItsScreenAtEveryDensity) {
    // Each layout with texts as long as the English ones it shows.
    struct Content {
        const char* name;
        LayoutKind kind;
        std::vector<ContentRow> rows;
    } const contents[] = {
        {"button", kButton, {{Chars(42), Chars(95), true}}},
        {"two columns",
         kTwoColumn,
         {{Chars(30), Chars(180), true}, {Chars(30), Chars(120), false}}},
        {"list with a picture", kList, {{Chars(40), Chars(160), true}}},
        {"list of text", kList, {{Chars(40), Chars(240), false}, {Chars(20), Chars(60), false}}},
    };
    // Everything but the banner and the card, which lie under the rest.
    const std::vector<int> apart = {IDC_INVITATION_TITLE1,       IDC_INVITATION_IMAGE1,
                                    IDC_INVITATION_BODY1,        IDC_INVITATION_TITLE2,
                                    IDC_INVITATION_IMAGE2,       IDC_INVITATION_BODY2,
                                    IDC_INVITATION_IMAGE_BUTTON, IDC_SEPARATOR,
                                    IDC_INVITATION_SKIP,         IDC_INVITATION_REGISTER};
    for (int dpi : {96, 120, 144, 192}) {
        for (const Content& c : contents) {
            SCOPED_TRACE(testing::Message() << c.name << " at " << dpi);
            const MeasureText measure = BodyFontMeasure(dpi);
            const std::vector<Placement> placed = LayoutInvitation(c.kind, c.rows, dpi, measure);
            qelui::PixelLayout shown{InvitationClientSize(dpi), {}};
            for (const Placement& p : placed) {
                if (p.shown) {
                    shown.controls.push_back({p.id, p.x, p.y, p.width, p.height});
                }
            }
            EXPECT_EQ(qeltest::LayoutFaults(shown, apart), std::vector<std::string>{});
            for (std::size_t i = 0; i < c.rows.size(); ++i) {
                const int bodyId = kRowControls[i].body;
                const Placement& body =
                    *std::find_if(placed.begin(), placed.end(),
                                  [&](const Placement& p) { return p.id == bodyId; });
                const SIZE text = measure(TextFont::kBody, c.rows[i].body, 0);
                const LONG lines = (text.cx + body.width - 1) / body.width;
                EXPECT_GE(body.height, lines * text.cy) << "the text of row " << i << " is cut";
                if (c.kind == kButton) {
                    // On the card, with its margin left free.
                    const Placement& card = placed[1];
                    EXPECT_GE(body.y, card.y);
                    EXPECT_LE(body.y + body.height, card.y + card.height - ::MulDiv(12, dpi, 96));
                }
            }
        }
    }
}

TEST(ImageButton, OnlyAPressThatBeganOnTheButtonAndEndsInsideClicks) {
    using E = MouseEvent;
    struct Step {
        MouseEvent event;
        bool inside;
        ButtonLook look;
        ButtonReaction reaction;
    };
    const ButtonLook N = ButtonLook::kNormal, P = ButtonLook::kPressed, H = ButtonLook::kHover;
    const ButtonReaction none{}, paint{.repaint = true};
    const ButtonReaction hoverIn{.repaint = true, .capture = true};
    const ButtonReaction press{.repaint = true, .capture = true};
    const ButtonReaction pressHeld{.repaint = true};
    const ButtonReaction click{.repaint = true, .release = true, .click = true};
    struct Case {
        const char* name;
        std::vector<Step> steps;
    } const cases[] = {
        {"hover, press and release inside",
         {{E::kMove, true, H, hoverIn},
          {E::kMove, true, H, none},
          {E::kDown, true, P, pressHeld},
          {E::kUp, true, N, click}}},
        {"a press without hover first takes the capture",
         {{E::kDown, true, P, press}, {E::kUp, true, N, click}}},
        {"released outside: no click",
         {{E::kDown, true, P, press},
          {E::kMove, false, N, paint},
          {E::kUp, false, N, {.release = true}}}},
        {"out and back in before the release: a click",
         {{E::kDown, true, P, press},
          {E::kMove, false, N, paint},
          {E::kMove, true, P, paint},
          {E::kUp, true, N, click}}},
        {"leaving without a press lets the capture go",
         {{E::kMove, true, H, hoverIn}, {E::kMove, false, N, {.repaint = true, .release = true}}}},
        {"a press outside while hovering: no press, capture let go",
         {{E::kMove, true, H, hoverIn},
          {E::kDown, false, N, {.repaint = true, .release = true}},
          {E::kUp, true, N, none}}},
        {"the capture taken away ends the press",
         {{E::kDown, true, P, press}, {E::kCaptureLost, true, N, paint}, {E::kUp, true, N, none}}},
        {"a release with no press before it", {{E::kUp, true, N, none}}},
        {"a double click is two clicks",
         {{E::kDown, true, P, press},
          {E::kUp, true, N, click},
          {E::kDown, true, P, press},
          {E::kUp, true, N, click}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImageButtonState button;
        int index = 0;
        for (const Step& s : c.steps) {
            SCOPED_TRACE(index++);
            const ButtonReaction r = button.On(s.event, s.inside);
            EXPECT_EQ(button.Look(), s.look);
            EXPECT_EQ(r.repaint, s.reaction.repaint);
            EXPECT_EQ(r.capture, s.reaction.capture);
            EXPECT_EQ(r.release, s.reaction.release);
            EXPECT_EQ(r.click, s.reaction.click);
        }
    }
    EXPECT_TRUE(InsideImageButton(0, 0));
    EXPECT_TRUE(InsideImageButton(245, 59));
    EXPECT_FALSE(InsideImageButton(246, 10));
    EXPECT_FALSE(InsideImageButton(10, 60));
    EXPECT_FALSE(InsideImageButton(-1, 10));
    // At 144 pixels per inch the button is 369 x 90.
    EXPECT_TRUE(InsideImageButton(368, 89, 144));
    EXPECT_FALSE(InsideImageButton(369, 10, 144));
    EXPECT_FALSE(InsideImageButton(10, 90, 144));
}

TEST(SendInfo, TheAgreementIsSettledOnceAndEachWayLeavesItsBit) {
    constexpr INT_PTR kNoAnswer = 0;
    struct Case {
        const char* name;
        int agreement;
        std::optional<DWORD> record;
        INT_PTR answer; // of the agreement dialog; kNoAnswer: it must not open
        bool agreed;
        int agreementAfter;
        int bits;
        int lookUps;
    } const cases[] = {
        {"no record, Agree", 0, std::nullopt, IDC_AGREE, true, 1, kSendInfoUserAgreed, 1},
        {"no record, Disagree", 0, std::nullopt, IDC_DISAGREE, false, 0, kSendInfoUserDeclined, 1},
        {"the installer's record says agreed", 0, 1u, kNoAnswer, true, 1, kSendInfoInstallerAgreed,
         1},
        {"a record of 0 still asks", 0, 0u, IDC_AGREE, true, 1, kSendInfoUserAgreed, 1},
        {"a record of 2 asks; Disagree keeps it", 0, 2u, IDC_DISAGREE, false, 2,
         kSendInfoUserDeclined, 1},
        {"agreed before: nothing looked up or asked", 1, 0u, kNoAnswer, true, 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AgreementState state{c.agreement, 0};
        int lookUps = 0;
        int asked = 0;
        const bool agreed = SettleAgreement(
            state,
            [&] {
                ++lookUps;
                return c.record;
            },
            [&] {
                ++asked;
                return c.answer;
            });
        EXPECT_EQ(agreed, c.agreed);
        EXPECT_EQ(state.agreement, c.agreementAfter);
        EXPECT_EQ(state.sendInfo, c.bits);
        EXPECT_EQ(lookUps, c.lookUps);
        EXPECT_EQ(asked, c.answer == kNoAnswer ? 0 : 1);
    }
    AgreementState start;
    EXPECT_FALSE(NoteInstallerRecord(start, std::nullopt));
    EXPECT_FALSE(NoteInstallerRecord(start, 7u));
    EXPECT_EQ(start.agreement, 7);
    EXPECT_EQ(start.sendInfo, 0);
    EXPECT_TRUE(NoteInstallerRecord(start, 1u));
    EXPECT_EQ(start.sendInfo, kSendInfoInstallerAgreed);
}

} // namespace
} // namespace qelinvitation
