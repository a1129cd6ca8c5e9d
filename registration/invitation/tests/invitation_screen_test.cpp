// The invitation screen under the robot: each layout with its texts, fonts, pictures and the see-
// through image button (screenshots saved), the close requests it ignores, the agreement settled
// before Register and the image button, and Skip's notice to the simulated cloud.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_system.h"
#include "fake_application_info.h"
#include "invitation/invitation_layout.h"
#include "invitation/registration_dialog.h"
#include "printerutil_testing/fake_waits.h"
#include "printerutil_testing/sample_registration.h"
#include "printerutil/server_param.h"
#include "resource.h"
#include "simulated_cloud.h"
#include "testkit/dialog_robot.h"
#include "testkit/layout_checks.h"
#include "testkit/registry_sandbox.h"
#include "testkit/table_part.h"
#include "testkit/text_ids.h"
#include "ui/dialog_font.h"
#include "ui/dialog_stack.h"
#include "win/gdiplus_session.h"
#include "win/unique_any.h"

namespace {

using qelinvitation::RegistrationDialog;
using qeltest::DialogView;
using qeltest::ExpectFont;
using qeltest::ExpectPlace;
using qeltest::TextId;

constexpr wchar_t kInstalledDevices[] = L"SOFTWARE\\Velto\\PREPLY4\\InstalledDevice";

// Moves the mouse pointer to a point of a control's client area.
void PointAt(HWND control, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(control, &point);
    ::SetCursorPos(point.x, point.y);
}

class InvitationScreenTest : public qeltest::MachineKeySandbox {
protected:
    static void SetUpTestSuite() { gdiplus_ = new qelwin::GdiplusSession; }
    static void TearDownTestSuite() { delete gdiplus_; }

    void SetUp() override {
        MachineKeySandbox::SetUp();
        ASSERT_TRUE(texts_.Load(qeltest::kTextIdsLanguage));
        cloud_.Reset();
        facts_.deviceName = L"VZ Printer 500";
        facts_.serialNumber = L"SN0042";
        facts_.languageCode = L"EN";
        facts_.residence = L"asia";
        facts_.area = L"JP";
        facts_.launchMode = 1;
    }

    // A fresh screen for a printer of that region and service kind, with the content rows.
    RegistrationDialog& Invite(const std::wstring& region, const std::wstring& kind,
                               qelinfo::IllustrationMap content, unsigned char agreement = 0) {
        screen_ = std::make_unique<RegistrationDialog>(qelapp::ProgramSystem());
        facts_.regionCode = region;
        facts_.serviceKind = kind;
        facts_.illustrations = std::move(content);
        auto device = std::make_shared<printerutil::stDeviceData>();
        device->modelName = L"VZ Printer 500 Series";
        device->serialNumber = L"SN0042";
        device->regionCode = region;
        device->agreement = agreement;
        device->qelSupport = kind == L"serviceA" ? 1 : 0;
        device->serviceKind = kind == L"serviceA" ? 1 : 0;
        device->connectionKind = printerutil::kConnectionAddress;
        screen_->SetTextLibrary(&texts_);
        screen_->SetApplicationInfo(&facts_);
        screen_->SetDeviceData(device);
        return *screen_;
    }

    void RecordInstallerAgreement(const std::wstring& key, DWORD value) {
        WriteDword(std::wstring(kInstalledDevices) + L"\\VZ Printer 500 Series\\" + key,
                   L"SEND_INFO_AGREE", value);
    }

    std::string LastNotice(const char* field) {
        return cloud_.Field(-1, field, "/gateway/capi").value_or("<none>");
    }

    static qelwin::GdiplusSession* gdiplus_;
    qelui::TextLibrary texts_;
    qelhttp::testing::FakeApplicationInfo facts_;
    qelcloud::SimulatedCloud cloud_;
    printerutil::ScopedServiceAddresses addresses_{
        printerutil::testing::SampleServiceAddresses(cloud_)};
    printerutil::testing::FakeWaits waits_;
    std::unique_ptr<RegistrationDialog> screen_;
};

qelwin::GdiplusSession* InvitationScreenTest::gdiplus_ = nullptr;

const qelinfo::IllustrationMap kButtonContent = {
    {L"1", {L"illust.png", TextId(15017), TextId(15018)}}};
const qelinfo::IllustrationMap kTwoColumnContent = {
    {L"1", {L"illust_pr.png", TextId(15019), TextId(15020)}},
    {L"2", {L"", TextId(15021), TextId(15022)}}};
const qelinfo::IllustrationMap kListContent = {
    {L"1", {L"ICON_PY_KiV.png", TextId(15007), TextId(15008)}}};
const qelinfo::IllustrationMap kTextContent = {{L"1", {L"", TextId(15005), TextId(15006)}}};

TEST_F(InvitationScreenTest, EachLayoutShowsItsTextsFontsAndPictures) {
    struct Case {
        const char* name;
        const wchar_t* region;
        const wchar_t* kind;
        const wchar_t* area;
        unsigned char agreement;
        const qelinfo::IllustrationMap& content;
        const wchar_t* screenshot;
        int caption, skip, registration;
        bool imageButton;
        RECT image;  // of the first row's picture, x y width height; empty: hidden
        POINT body;  // top left of the first row's text
        bool second; // the second row shows
    } const cases[] = {
        {"button layout",
         L"1",
         L"serviceA",
         L"JP",
         0,
         kButtonContent,
         L"invitation-button.bmp",
         10001,
         10009,
         10008,
         true,
         {0, 84, 790, 262},
         {30, 418},
         false},
        {"two columns",
         L"C",
         L"serviceA",
         L"DE",
         0,
         kTwoColumnContent,
         L"invitation-two-column.bmp",
         10001,
         10012,
         10011,
         false,
         {38, 84, 324, 334},
         {398, 84 + ::MulDiv(16, qelui::PixelsPerInchY(nullptr), 72) + 4},
         true},
        {"list with a picture",
         L"1",
         L"auto",
         L"JP",
         0,
         kListContent,
         L"invitation-list.bmp",
         10013,
         10007,
         10006,
         false,
         {30, 52 + ::MulDiv(12, qelui::PixelsPerInchY(nullptr), 72) + 12, 80, 80},
         {130, 52 + ::MulDiv(12, qelui::PixelsPerInchY(nullptr), 72) + 12},
         false},
        {"list of text",
         L"4",
         L"auto",
         L"US",
         0,
         kTextContent,
         L"invitation-list-text.bmp",
         10013,
         10007,
         10006,
         false,
         {},
         {30, 52 + ::MulDiv(12, qelui::PixelsPerInchY(nullptr), 72) + 12},
         false},
    };
    for (const auto& c : qeltest::RowsOfThisPart(cases)) {
        SCOPED_TRACE(c.name);
        facts_.area = c.area;
        Invite(c.region, c.kind, c.content, c.agreement);
        const printerutil::ScopedWaits waits(waits_);
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_INVITATION_REGISTER, "read the screen", [&](DialogView& v) {
            EXPECT_EQ(v.Caption(), TextId(c.caption));
            EXPECT_EQ(v.Text(IDC_INVITATION_SKIP), TextId(c.skip));
            EXPECT_EQ(v.Text(IDC_INVITATION_REGISTER), TextId(c.registration));
            EXPECT_EQ(v.Visible(IDC_INVITATION_IMAGE_BUTTON), c.imageButton);
            EXPECT_EQ(v.Visible(IDC_INVITATION_PICTURE), c.imageButton);
            EXPECT_TRUE(v.Focused(IDC_INVITATION_REGISTER));
            EXPECT_EQ(v.DialogStyle() & WS_SYSMENU, 0);
            EXPECT_EQ(v.ClientSize().cx, 790);
            EXPECT_EQ(v.ClientSize().cy, 530);
            ExpectPlace(v, IDC_INVITATION_BANNER, 0, 0, 790, 40);
            ExpectPlace(v, IDC_SEPARATOR, 0, 460, 790, 1);
            ExpectPlace(v, IDC_INVITATION_SKIP, 332, 483, 210, 25);
            ExpectPlace(v, IDC_INVITATION_REGISTER, 555, 483, 210, 25);
            EXPECT_EQ(v.Text(IDC_INVITATION_TITLE1), c.content.begin()->second.title);
            EXPECT_EQ(v.Text(IDC_INVITATION_BODY1), c.content.begin()->second.body);
            EXPECT_EQ(v.Visible(IDC_INVITATION_TITLE2), c.second);
            EXPECT_EQ(v.Visible(IDC_INVITATION_BODY2), c.second);
            EXPECT_FALSE(v.Visible(IDC_INVITATION_IMAGE2));
            const RECT body = v.Rect(IDC_INVITATION_BODY1);
            EXPECT_EQ(body.left, c.body.x);
            EXPECT_EQ(body.top, c.body.y);
            const bool pictured = c.image.right > 0;
            EXPECT_EQ(v.Visible(IDC_INVITATION_IMAGE1), pictured);
            if (pictured) {
                ExpectPlace(v, IDC_INVITATION_IMAGE1, c.image.left, c.image.top, c.image.right,
                            c.image.bottom);
            }
            ExpectFont(v, IDC_INVITATION_TITLE1, 12, FW_BOLD);
            ExpectFont(v, IDC_INVITATION_BODY1, 11, FW_NORMAL);
            ExpectFont(v, IDC_INVITATION_SKIP, 10, FW_NORMAL);
            ExpectFont(v, IDC_INVITATION_REGISTER, 10, FW_NORMAL);
            EXPECT_TRUE(v.Screenshot(c.screenshot));

            // The banner's band shows; under its curve the dialog shows through, never the key.
            HWND banner = ::GetDlgItem(v.Handle(), IDC_INVITATION_BANNER);
            const COLORREF face = ::GetSysColor(COLOR_3DFACE);
            EXPECT_NE(qeltest::ScreenPixel(banner, 400, 5), face);
            EXPECT_EQ(qeltest::ScreenPixel(banner, 400, 38), face);
            if (pictured) {
                // The picture is drawn in its control (its middle is not the dialog face).
                HWND image = ::GetDlgItem(v.Handle(), IDC_INVITATION_IMAGE1);
                EXPECT_NE(qeltest::ScreenPixel(image, c.image.right / 2, c.image.bottom / 2), face);
            }
            if (c.imageButton) {
                // The black key of the button shows the white card behind it.
                HWND button = ::GetDlgItem(v.Handle(), IDC_INVITATION_IMAGE_BUTTON);
                EXPECT_EQ(qeltest::ScreenPixel(button, 0, 0), RGB(255, 255, 255));
                EXPECT_NE(qeltest::ScreenPixel(button, 123, 30), RGB(0, 0, 0));
                EXPECT_NE(qeltest::ScreenPixel(button, 123, 30), RGB(255, 255, 255));
                // The title's and text's background is the card's white.
                HWND title = ::GetDlgItem(v.Handle(), IDC_INVITATION_TITLE1);
                EXPECT_EQ(qeltest::ScreenPixel(title, 700, 2), RGB(255, 255, 255));
            }
            v.Click(IDC_INVITATION_SKIP);
        });
        EXPECT_EQ(screen_->DoModal(), IDC_INVITATION_SKIP);
        EXPECT_EQ(qelui::DialogStack::Instance().size(), 1u);
    }
}

TEST_F(InvitationScreenTest, NoCloseRequestEndsTheScreen) {
    Invite(L"1", L"serviceA", kButtonContent);
    const printerutil::ScopedWaits waits(waits_);
    HWND shown = nullptr;
    qeltest::DialogRobot robot;
    robot.ThenOn(IDC_INVITATION_REGISTER, "keep the screen",
                 [&](DialogView& v) { shown = v.Handle(); });
    robot.ThenEveryCloseRequest(IDC_INVITATION_REGISTER, shown);
    robot.ThenOn(IDC_INVITATION_REGISTER, "still open: skip", [&](DialogView& v) {
        EXPECT_EQ(v.Handle(), shown);
        v.Click(IDC_INVITATION_SKIP);
    });
    EXPECT_EQ(screen_->DoModal(), IDC_INVITATION_SKIP);
    EXPECT_EQ(cloud_.Count("/gateway/capi"), 1);
}

// A scripted user: what the robot does next on the invitation or the agreement dialog.
enum class Act {
    kRegister,     // click Register
    kImageButton,  // press and release the image button inside it
    kPressOutside, // press the image button, move off and release outside it
    kAgree,        // answer the agreement dialog
    kDisagree,
    kSkip,
};

TEST_F(InvitationScreenTest, RegisterAndTheImageButtonSettleTheAgreementFirst) {
    struct Case {
        const char* name;
        std::optional<DWORD> record; // the installer's SEND_INFO_AGREE
        const wchar_t* recordKey;    // the sub-key it is under
        const wchar_t* installerKey; // the sub-key the screen looks under; empty: the serial
        std::vector<Act> acts;
        INT_PTR closedWith;
        int sendInfo;
        const char* fus; // the send-info code the skip notice carried ("" when none went)
    } const cases[] = {
        {"no record: Disagree keeps the screen, Agree registers",
         std::nullopt,
         L"",
         L"",
         {Act::kRegister, Act::kDisagree, Act::kRegister, Act::kAgree},
         IDC_INVITATION_REGISTER,
         0x06,
         ""},
        {"the installer's record: no agreement dialog",
         1u,
         L"SN0042",
         L"",
         {Act::kRegister},
         IDC_INVITATION_REGISTER,
         0x01,
         ""},
        {"the record under the installer's own key",
         1u,
         L"KEY7",
         L"KEY7",
         {Act::kImageButton},
         IDC_INVITATION_IMAGE_BUTTON,
         0x01,
         ""},
        {"a record of another value asks",
         2u,
         L"SN0042",
         L"",
         {Act::kRegister, Act::kAgree},
         IDC_INVITATION_REGISTER,
         0x02,
         ""},
        {"the image button registers on release",
         std::nullopt,
         L"",
         L"",
         {Act::kImageButton, Act::kAgree},
         IDC_INVITATION_IMAGE_BUTTON,
         0x02,
         ""},
        {"a press released outside is no click",
         std::nullopt,
         L"",
         L"",
         {Act::kPressOutside, Act::kDisagree, Act::kSkip},
         IDC_INVITATION_SKIP,
         0x04,
         "0004"},
        {"a record under another key, declined, then skipped",
         1u,
         L"SN0042",
         L"KEY7",
         {Act::kImageButton, Act::kDisagree, Act::kSkip},
         IDC_INVITATION_SKIP,
         0x04,
         "0004"},
        {"agreed by the installer, then skipped",
         1u,
         L"SN0042",
         L"",
         {Act::kSkip},
         IDC_INVITATION_SKIP,
         0x01,
         "0001"},
    };
    for (const auto& c : qeltest::RowsOfThisPart(cases)) {
        SCOPED_TRACE(c.name);
        machine_.DeleteKey(kInstalledDevices);
        cloud_.Reset();
        if (c.record) {
            RecordInstallerAgreement(c.recordKey, *c.record);
        }
        // No printer address: Register settles the agreement and registers nothing.
        Invite(L"1", L"serviceA", kButtonContent).SetInstallerDeviceKey(c.installerKey);
        const printerutil::ScopedWaits waits(waits_);
        qeltest::DialogRobot robot;
        int agreementDialogs = 0;
        for (const Act act : c.acts) {
            switch (act) {
            case Act::kRegister:
                robot.ThenOn(IDC_INVITATION_REGISTER, "register",
                             [](DialogView& v) { v.Click(IDC_INVITATION_REGISTER); });
                break;
            case Act::kSkip:
                robot.ThenOn(IDC_INVITATION_REGISTER, "skip",
                             [](DialogView& v) { v.Click(IDC_INVITATION_SKIP); });
                break;
            case Act::kImageButton:
            case Act::kPressOutside: {
                const bool outside = act == Act::kPressOutside;
                // The pointer is put where the press and the release happen, so the moves the
                // system makes up on its own agree with them.
                robot.ThenOn(IDC_INVITATION_IMAGE_BUTTON, "press", [this](DialogView& v) {
                    HWND button = ::GetDlgItem(v.Handle(), IDC_INVITATION_IMAGE_BUTTON);
                    PointAt(button, 20, 20);
                    ::PostMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
                    ::PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
                });
                robot.ThenOn(
                    IDC_INVITATION_IMAGE_BUTTON, "release", [this, outside](DialogView& v) {
                        EXPECT_EQ(screen_->ImageButtonLook(), qelinvitation::ButtonLook::kPressed);
                        EXPECT_TRUE(v.Screenshot(L"invitation-button-pressed.bmp"));
                        HWND button = ::GetDlgItem(v.Handle(), IDC_INVITATION_IMAGE_BUTTON);
                        const int x = outside ? 300 : 20;
                        PointAt(button, x, 20);
                        ::PostMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 20));
                        ::PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(x, 20));
                    });
                if (outside) {
                    robot.ThenOn(IDC_INVITATION_IMAGE_BUTTON, "nothing came of it; register",
                                 [this](DialogView& v) {
                                     EXPECT_EQ(screen_->ImageButtonLook(),
                                               qelinvitation::ButtonLook::kNormal);
                                     EXPECT_EQ(::GetCapture(), nullptr);
                                     v.Click(IDC_INVITATION_REGISTER);
                                 });
                }
                break;
            }
            case Act::kAgree:
            case Act::kDisagree: {
                const int answer = act == Act::kAgree ? IDC_AGREE : IDC_DISAGREE;
                robot.ThenOn(IDC_AGREE, "answer the agreement", [&, answer](DialogView& v) {
                    ++agreementDialogs;
                    EXPECT_NE(v.Owner(), nullptr);
                    v.Click(answer);
                });
                break;
            }
            }
        }
        EXPECT_EQ(screen_->DoModal(), c.closedWith);
        EXPECT_EQ(screen_->SendInfoCode(), c.sendInfo);
        EXPECT_EQ(agreementDialogs,
                  static_cast<int>(std::count(c.acts.begin(), c.acts.end(), Act::kAgree) +
                                   std::count(c.acts.begin(), c.acts.end(), Act::kDisagree)));
        EXPECT_EQ(cloud_.Count("/gateway/capi"), *c.fus ? 1 : 0);
        if (*c.fus) {
            EXPECT_EQ(LastNotice("info.q.FUS"), c.fus);
        }
    }
}

TEST_F(InvitationScreenTest, SkipSendsOneNoticeAndWaitsForItAtMostTwoSeconds) {
    struct Case {
        const char* name;
        bool late; // the notice is not done within its wait
    } const cases[] = {{"answered", false}, {"late", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cloud_.Reset();
        Invite(L"C", L"serviceA", kTwoColumnContent, 2).SetPrinterAddress(L"192.0.2.5");
        printerutil::testing::FakeWaits waits;
        waits.beforeAwait = [&](int, std::chrono::milliseconds) { return !c.late; };
        const printerutil::ScopedWaits scope(waits);
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_INVITATION_SKIP, "skip",
                     [](DialogView& v) { v.Click(IDC_INVITATION_SKIP); });
        EXPECT_EQ(screen_->DoModal(), IDC_INVITATION_SKIP);
        EXPECT_EQ(waits.AwaitBounds(), std::vector<std::int64_t>{2000});
        if (!c.late) {
            ASSERT_EQ(cloud_.Count("/gateway/capi"), 1);
            EXPECT_EQ(LastNotice("method"), "HEAD");
            EXPECT_EQ(LastNotice("info.q.FNC"), "UREG_SKIP");
            EXPECT_EQ(LastNotice("info.q.UAH"), "NONE");
            EXPECT_EQ(LastNotice("info.q.FUS"), "0000");
            EXPECT_EQ(LastNotice("info.q.SNO"), "SN0042");
        }
    }
}

// The colour of one pixel of a bitmap.
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    const COLORREF colour = ::GetPixel(memory, x, y);
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
    return colour;
}

TEST_F(InvitationScreenTest, EveryPictureHasTheSizeItsLayoutGivesIt) {
    struct Picture {
        const wchar_t* file; // beside the program; empty: a bitmap of the program
        int resource;
        SIZE size;
    } const pictures[] = {
        {L"illust.png", 0, {790, 262}},          {L"illust_pr.png", 0, {324, 334}},
        {L"ICON_PY_KiV.png", 0, {80, 80}},       {L"bt_normal.png", 0, {246, 60}},
        {L"bt_press.png", 0, {246, 60}},         {L"bt_over.png", 0, {246, 60}},
        {L"", IDB_INVITATION_BANNER, {790, 40}}, {L"", IDB_INVITATION_CARD, {790, 420}},
    };
    for (const auto& p : pictures) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(p.file)) + " " +
                     std::to_string(p.resource));
        const qelwin::unique_hgdiobj bitmap(
            *p.file ? qelinvitation::LoadPngAsHBitmap(p.file, RGB(255, 255, 255))
                    : ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(p.resource),
                                   IMAGE_BITMAP, 0, 0, 0));
        ASSERT_TRUE(bitmap);
        const auto handle = static_cast<HBITMAP>(bitmap.get());
        const SIZE size = qelinvitation::BitmapSize(handle);
        EXPECT_EQ(size.cx, p.size.cx);
        EXPECT_EQ(size.cy, p.size.cy);
        if (p.size.cx == 246) {
            // Black around the button, never black on it (it would show what lies behind).
            EXPECT_EQ(BitmapPixel(handle, 0, 0), RGB(0, 0, 0));
            EXPECT_EQ(BitmapPixel(handle, 245, 59), RGB(0, 0, 0));
            for (int x = 3; x < 243; ++x) {
                ASSERT_NE(BitmapPixel(handle, x, 30), RGB(0, 0, 0)) << x;
            }
        }
        if (p.resource == IDB_INVITATION_BANNER) {
            EXPECT_EQ(BitmapPixel(handle, 400, 39), qelinvitation::kBannerKey);
            EXPECT_NE(BitmapPixel(handle, 400, 5), qelinvitation::kBannerKey);
        }
    }
    EXPECT_EQ(qelinvitation::LoadPngAsHBitmap(L"no-such-picture.png", 0), nullptr);
    // A file that is there but no picture.
    EXPECT_EQ(qelinvitation::LoadPngAsHBitmap(L"EN\\qelreg.dll", 0), nullptr);
}

} // namespace
