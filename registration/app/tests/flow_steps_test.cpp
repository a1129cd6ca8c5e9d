// The hidden window's steps with the system replaced: which boxes a step shows, what it posts
// next and which dialogs it opens (under the robot), without the program running.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "app/TansuApp.h"
#include "app/app_messages.h"
#include "qelinfo/ApplicationInfo.h"
#include "resource.h"
#include "testkit/dialog_robot.h"
#include "testkit/fake_system.h"
#include "testkit/registry_sandbox.h"
#include "testkit/text_ids.h"

namespace {

using qeltest::FakeSystem;
using qeltest::TextId;

// The hidden window is only a name here: every step reaches it through the system.
const HWND kWindow = reinterpret_cast<HWND>(std::uintptr_t{0x1234});

class FlowSteps : public qeltest::MachineKeySandbox {
protected:
    void SetUp() override {
        MachineKeySandbox::SetUp();
        // The facts' language, so every text shows as its number.
        WriteText(qelinfo::kSettingsKey, L"LanguageCode", qeltest::kTextIdsLanguage);
    }
};

TEST_F(FlowSteps, StartStepsShowTheirBoxAndPostTheNextStep) {
    struct Case {
        const char* what;
        std::vector<const wchar_t*> args;
        UINT message;
        WPARAM wParam;
        std::deque<int> answers;
        std::vector<FakeSystem::Box> boxes;
        std::vector<FakeSystem::Post> posts;
    };
    const auto box = [](int text, UINT style) {
        return FakeSystem::Box{nullptr, TextId(text), TextId(10001), style};
    };
    const Case cases[] = {
        {"started without options",
         {},
         qelapp::kMsgStartMessage,
         1,
         {},
         {box(11007, MB_ICONERROR)},
         {{kWindow, WM_CLOSE, 0}}},
        {"set-up information, OK",
         {},
         qelapp::kMsgStartMessage,
         0,
         {IDOK},
         {box(11008, MB_ICONQUESTION | MB_OK)},
         {{kWindow, qelapp::kMsgPrinterList, 0}}},
        {"set-up information, closed",
         {},
         qelapp::kMsgStartMessage,
         0,
         {IDCANCEL},
         {box(11008, MB_ICONQUESTION | MB_OK)},
         {{kWindow, WM_CLOSE, 0}}},
        {"dispatch of -Setup",
         {L"-Setup"},
         qelapp::kMsgStart,
         0,
         {},
         {},
         {{kWindow, qelapp::kMsgStartMessage, qelapp::kStartedForSetup}}},
        {"dispatch of -HD",
         {L"-HD", L"-REG", L"Model", L"Queue"},
         qelapp::kMsgStart,
         0,
         {},
         {},
         {{kWindow, qelapp::kMsgLauncherFlow, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSystem system;
        system.answers = c.answers;
        qelapp::TansuApp app(&system);
        std::vector<const wchar_t*> argv{L"QelRegistration.exe"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        ASSERT_TRUE(app.ParseCommandLine(static_cast<int>(argv.size()), argv.data()));
        app.WndProc(kWindow, c.message, c.wParam, 0);
        EXPECT_EQ(system.boxes, c.boxes);
        EXPECT_EQ(system.posts, c.posts);
        EXPECT_TRUE(system.pages.empty());
    }
}

TEST_F(FlowSteps, AgreementStepShowsTheAgreementInTheFactsLanguageThenCloses) {
    for (const int answer : {IDC_AGREE, IDC_DISAGREE}) {
        FakeSystem system;
        qelapp::TansuApp app(&system);
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_AGREE, "answer the agreement", [&](qeltest::DialogView& v) {
            EXPECT_EQ(v.Owner(), nullptr);
            EXPECT_EQ(v.Caption(), TextId(10001));
            EXPECT_EQ(v.Text(IDC_AGREEMENT_HEADING), TextId(11701));
            v.Click(answer);
        });
        EXPECT_EQ(app.WndProc(kWindow, qelapp::kMsgAgreement, 0, 0), 0);
        EXPECT_EQ(system.posts, (std::vector<FakeSystem::Post>{{kWindow, WM_CLOSE, 0}}));
        EXPECT_TRUE(system.boxes.empty());
    }
}

TEST_F(FlowSteps, SendInfoAgreementIsTheInstallersValueOneForTheFactsDevice) {
    const std::wstring devices = L"SOFTWARE\\Velto\\PREPLY4\\InstalledDevice\\";
    WriteDword(devices + L"Velto Model-100 series\\SN1", L"SEND_INFO_AGREE", 1);
    WriteDword(devices + L"Velto Model-100 series\\SN2", L"SEND_INFO_AGREE", 2);
    WriteText(devices + L"Velto Model-100 series\\SN3", L"SEND_INFO_AGREE", L"1");
    WriteDword(devices + L"Velto Model-200 series\\SN4", L"SEND_INFO_AGREE", 1);
    struct Case {
        const wchar_t* subKey;
        bool agreed;
    };
    const Case cases[] = {
        {L"SN1", true}, {L"SN2", false}, {L"SN3", false}, {L"SN4", false}, {L"SN9", false}};
    FakeSystem system;
    qelapp::TansuApp app(&system);
    app.Facts().SetLaunchContext(true, true, L"Model-100", L"SN1", L"EN", L"", L"", L"1", 1, 0);
    for (const auto& c : cases) {
        EXPECT_EQ(app.FindSendInfoAgree(c.subKey), c.agreed) << testing::PrintToString(c.subKey);
    }
}

} // namespace
