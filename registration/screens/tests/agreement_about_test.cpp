// The agreement and About dialogs under the robot, with the text-id library (each text shows as
// its number) and, for the line breaks, the English one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qelinfo/ApplicationInfo.h"
#include "resource.h"
#include "screens/about_dialog.h"
#include "screens/agreement_dialog.h"
#include "testkit/dialog_robot.h"
#include "testkit/layout_checks.h"
#include "testkit/text_ids.h"
#include "ui/dialog_font.h"
#include "ui/dialog_stack.h"

namespace {

using qeltest::DialogView;
using qeltest::TextId;

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(texts_.Load(qeltest::kTextIdsLanguage)); }
    qelui::TextLibrary texts_;
};

using qeltest::ExpectFont;
using qeltest::ExpectRect;

// The checks every agreement dialog passes, whatever its caption.
void ExpectAgreementLayout(const DialogView& v) {
    const LONG_PTR style = v.DialogStyle();
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME),
              WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    const SIZE client = v.ClientSize();
    EXPECT_EQ(client.cx, 600);
    EXPECT_EQ(client.cy, 320 - ::GetSystemMetrics(SM_CYSIZE));
    const int line = ::MulDiv(9, qelui::PixelsPerInchY(v.Handle()), 72) + 4;
    ExpectRect(v, IDC_AGREEMENT_HEADING, {20, 20, 580, 20 + line});
    ExpectRect(v, IDC_AGREEMENT_TEXT, {20, line + 28, 580, line + 178});
    ExpectRect(v, IDC_AGREEMENT_NOTE, {20, line + 186, 580, 3 * line + 186});
    ExpectRect(v, IDC_AGREE, {430, 4 * line + 194, 580, 4 * line + 219});
    ExpectRect(v, IDC_DISAGREE, {267, 4 * line + 194, 417, 4 * line + 219});
    ExpectFont(v, IDC_AGREEMENT_HEADING, 9, FW_BOLD);
    ExpectFont(v, IDC_AGREEMENT_NOTE, 9, FW_NORMAL);
    ExpectFont(v, IDC_AGREE, 10, FW_NORMAL);
    ExpectFont(v, IDC_DISAGREE, 10, FW_NORMAL);
    const LONG_PTR edit = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
    EXPECT_EQ(v.Style(IDC_AGREEMENT_TEXT) & edit, edit);
    EXPECT_TRUE(v.HasBorder(IDC_AGREEMENT_TEXT));
    EXPECT_TRUE(v.Focused(IDC_DISAGREE));
    // The read-only text asks its colours of the dialog, which gives it a white page.
    HDC dc = ::GetDC(v.Handle());
    const auto brush =
        ::SendMessageW(v.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(::GetDlgItem(v.Handle(), IDC_AGREEMENT_TEXT)));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(::GetBkColor(dc), RGB(255, 255, 255));
    ::ReleaseDC(v.Handle(), dc);
}

TEST_F(ScreenTest, AgreementShowsItsTextsAndOnlyAgreeOrDisagreeEndIt) {
    struct Case {
        const char* what;
        unsigned char serviceType; // with region "1": 1 "serviceA", 0 with no qel "auto"
        bool setContext;
        int caption;
        int answer;
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {"service kind auto, agree", 0, true, 10013, IDC_AGREE, L"agreement-auto.bmp"},
        {"service kind serviceA, disagree", 1, true, 10001, IDC_DISAGREE,
         L"agreement-servicea.bmp"},
        {"no service kind yet, agree", 0, false, 10001, IDC_AGREE, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qelinfo::ApplicationInfo facts;
        if (c.setContext) {
            facts.SetLaunchContext(c.serviceType != 0, false, L"Model", L"SN", L"EN", L"", L"",
                                   L"1", c.serviceType, 0);
        }
        HWND shown = nullptr;
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_AGREE, "read the texts, layout and fonts", [&](DialogView& v) {
            shown = v.Handle();
            EXPECT_EQ(v.Caption(), TextId(c.caption));
            EXPECT_EQ(v.Text(IDC_AGREEMENT_HEADING), TextId(11701));
            EXPECT_EQ(v.Text(IDC_AGREEMENT_TEXT), TextId(11702));
            EXPECT_EQ(v.Text(IDC_AGREEMENT_NOTE), TextId(11703));
            EXPECT_EQ(v.Text(IDC_AGREE), TextId(11103));
            EXPECT_EQ(v.Text(IDC_DISAGREE), TextId(11104));
            ExpectAgreementLayout(v);
            if (c.screenshot != nullptr) {
                EXPECT_TRUE(v.Screenshot(c.screenshot));
            }
        });
        // None of the ways to close a window answers the agreement.
        robot.ThenEveryCloseRequest(IDC_AGREE, shown);
        robot.ThenOn(IDC_AGREE, "answer", [&](DialogView& v) {
            EXPECT_EQ(v.Handle(), shown);
            v.Click(c.answer);
        });
        qelscreens::AgreementDialog agreement(&texts_, &facts);
        EXPECT_EQ(agreement.DoModal(nullptr), c.answer);
        EXPECT_EQ(qelui::DialogStack::Instance().size(), 1u);
    }
}

TEST_F(ScreenTest, AgreementTextBreaksItsLinesInTheBox) {
    qelui::TextLibrary english;
    ASSERT_TRUE(english.Load(L"EN"));
    const std::wstring text = english.LoadText(11702);
    ASSERT_NE(text.find(L'\n'), std::wstring::npos) << "the English text has no line breaks";
    qeltest::DialogRobot robot;
    robot.ThenOn(IDC_AGREE, "read the agreement text", [&](DialogView& v) {
        const std::wstring shown = v.Text(IDC_AGREEMENT_TEXT);
        EXPECT_EQ(shown, qelscreens::WithCarriageReturns(text));
        for (std::size_t at = shown.find(L'\n'); at != std::wstring::npos;
             at = shown.find(L'\n', at + 1)) {
            EXPECT_TRUE(at > 0 && shown[at - 1] == L'\r') << at;
        }
        EXPECT_GT(::SendDlgItemMessageW(v.Handle(), IDC_AGREEMENT_TEXT, EM_GETLINECOUNT, 0, 0), 2);
        EXPECT_TRUE(v.Screenshot(L"agreement-english.bmp"));
        v.Click(IDC_DISAGREE);
    });
    qelscreens::AgreementDialog agreement(&english, nullptr);
    EXPECT_EQ(agreement.DoModal(nullptr), IDC_DISAGREE);
}

TEST(ScreenTexts, EveryLanguageHoldsEveryTextTheseDialogsShow) {
    const int ids[] = {10001, 10002, 10013, 11103, 11104, 11201, 11401,
                       11402, 11403, 11404, 11701, 11702, 11703};
    for (const wchar_t* language : {L"EN", L"DE"}) {
        qelui::TextLibrary texts;
        ASSERT_TRUE(texts.Load(language));
        for (int id : ids) {
            const std::wstring text = texts.LoadText(id);
            EXPECT_FALSE(text.empty()) << testing::PrintToString(language) << " " << id;
            EXPECT_LT(text.size(), std::size_t{qelui::TextLibrary::kMaxTextLength}) << id;
        }
    }
}

TEST(AgreementText, EveryLineFeedGetsACarriageReturn) {
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    const Case cases[] = {{L"", L""},
                          {L"one line", L"one line"},
                          {L"a\nb", L"a\r\nb"},
                          {L"\n\nend\n", L"\r\n\r\nend\r\n"},
                          {L"kept\r\nas is", L"kept\r\r\nas is"}};
    for (const auto& c : cases) {
        EXPECT_EQ(qelscreens::WithCarriageReturns(c.in), c.out);
    }
}

TEST_F(ScreenTest, AboutShowsItsLinesAndClosesWithOkOrEscape) {
    struct Case {
        const char* what;
        bool escape;
        INT_PTR result;
        const wchar_t* screenshot;
    };
    const Case cases[] = {{"OK", false, IDOK, L"about.bmp"}, {"Escape", true, IDCANCEL, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_ABOUT_LINE1, "read the About box", [&](DialogView& v) {
            EXPECT_EQ(v.Caption(), TextId(11401));
            EXPECT_EQ(v.Text(IDC_ABOUT_LINE1), TextId(11402));
            EXPECT_EQ(v.Text(IDC_ABOUT_LINE2), TextId(11403));
            EXPECT_EQ(v.Text(IDC_ABOUT_LINE3), TextId(11404));
            EXPECT_EQ(v.Text(IDOK), TextId(10002));
            EXPECT_TRUE(v.Focused(IDOK));
            EXPECT_NE(v.DialogStyle() & WS_SYSMENU, 0);
            EXPECT_NE(v.Style(IDOK) & BS_DEFPUSHBUTTON, 0);
            // The template's layout in dialog units.
            const SIZE client = v.ClientSize();
            const RECT whole = v.FromDialogUnits(0, 0, 295, 74);
            EXPECT_EQ(client.cx, whole.right);
            EXPECT_EQ(client.cy, whole.bottom);
            ExpectRect(v, IDOK, v.FromDialogUnits(240, 54, 50, 14));
            ExpectRect(v, IDC_ABOUT_LINE1, v.FromDialogUnits(54, 6, 222, 8));
            ExpectRect(v, IDC_ABOUT_LINE2, v.FromDialogUnits(54, 18, 222, 8));
            ExpectRect(v, IDC_ABOUT_LINE3, v.FromDialogUnits(54, 30, 222, 8));
            if (c.screenshot != nullptr) {
                EXPECT_TRUE(v.Screenshot(c.screenshot));
            }
            if (c.escape) {
                v.Key(VK_ESCAPE);
            } else {
                v.Click(IDOK);
            }
        });
        qelscreens::AboutDialog about(&texts_);
        EXPECT_EQ(about.DoModal(nullptr), c.result);
    }
}

} // namespace
