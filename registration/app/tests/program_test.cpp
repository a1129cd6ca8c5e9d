// Drives the real QelRegistration.exe: starts it, finds what it shows, reads the texts, presses
// the buttons and checks how it ends. A watchdog ends any copy that outlives its time.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/TansuApp.h"
#include "testkit/child_process.h"
#include "testkit/screenshot.h"
#include "testkit/windows.h"
#include "ui/TextLibrary.h"
#include "ui/text_ids.h"
#include "win/module_path.h"
#include "win/unique_any.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kMaxLifetime = 60s;
constexpr auto kWindowWait = 30s;
constexpr auto kExitWait = 30s;

std::wstring ProgramPath() {
    return qelwin::JoinPath(qelwin::ThisModuleFolder(), L"QelRegistration.exe");
}

std::wstring Describe(const std::vector<std::wstring>& args) {
    std::wstring out = L"QelRegistration.exe";
    for (const auto& a : args) {
        out += L" [" + a + L"]";
    }
    return out;
}

struct Ending {
    std::optional<DWORD> exitCode;
    std::vector<HWND> windowsSeen; // visible windows other than those expected
};

// Waits for the program to end, watching for any window it shows meanwhile.
Ending WaitForEnd(const qeltest::ChildProcess& child, const std::vector<HWND>& known) {
    Ending ending;
    const auto deadline = std::chrono::steady_clock::now() + kExitWait;
    while (!(ending.exitCode = child.WaitForExit(50ms))) {
        for (HWND window : qeltest::VisibleTopLevelWindows(child.Id())) {
            if (std::find(known.begin(), known.end(), window) == known.end() &&
                std::find(ending.windowsSeen.begin(), ending.windowsSeen.end(), window) ==
                    ending.windowsSeen.end()) {
                ending.windowsSeen.push_back(window);
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            break;
        }
    }
    return ending;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(english_.Load(L"EN")); }
    qelui::TextLibrary english_;
};

TEST_F(ProgramTest, PlainAndSetupStartsShowTheirBoxAndEndWithZero) {
    struct Case {
        std::vector<std::wstring> args;
        int textId;
        int press;
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {{}, qelui::text::kStartedWithoutOption, IDOK, L"start-without-option.bmp"},
        {{L"-Setup"}, qelui::text::kSetupInformation, IDCANCEL, L"setup-information.bmp"},
        {{L"-Setup", L"-REG", L"ignored"},
         qelui::text::kSetupInformation,
         IDCANCEL,
         L"setup-with-extra-arguments.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(Describe(c.args)));
        qeltest::ChildProcess child(ProgramPath(), c.args, kMaxLifetime);
        ASSERT_TRUE(child.Started());

        HWND box = qeltest::WaitForWindow(child.Id(), child.Handle(), L"#32770", kWindowWait);
        ASSERT_NE(box, nullptr) << "no message box appeared";
        const qeltest::MessageBoxContent content = qeltest::ReadMessageBox(box);
        EXPECT_EQ(content.caption, english_.LoadText(qelui::text::kCaption));
        EXPECT_EQ(content.text, english_.LoadText(c.textId));
        EXPECT_EQ(content.buttons, std::vector<int>{IDOK});
        EXPECT_TRUE(content.hasIcon);
        EXPECT_TRUE(qeltest::SaveWindowScreenshot(box, qeltest::ArtifactPath(c.screenshot)));

        // Behind the box, the flow runs on a hidden message-only window.
        HWND hidden = qeltest::FindMessageOnlyWindow(child.Id(), qelapp::kWindowClassName);
        EXPECT_NE(hidden, nullptr);
        EXPECT_FALSE(::IsWindowVisible(hidden));

        qeltest::PressButton(box, c.press);
        const Ending ending = WaitForEnd(child, {box});
        ASSERT_TRUE(ending.exitCode.has_value()) << "the program did not end";
        EXPECT_EQ(*ending.exitCode, 0u);
        EXPECT_TRUE(ending.windowsSeen.empty()) << "a further window appeared";
        EXPECT_FALSE(child.KilledByWatchdog());
    }
}

TEST_F(ProgramTest, ASecondCopyEndsAtOnceWithoutAWindow) {
    // This test holds the single-instance mutex, as a running first copy would.
    const qelwin::unique_handle first(
        ::CreateMutexW(nullptr, FALSE, qelapp::kSingleInstanceMutexName));
    ASSERT_TRUE(first);
    for (const std::vector<std::wstring>& args :
         {std::vector<std::wstring>{}, std::vector<std::wstring>{L"-Setup"}}) {
        SCOPED_TRACE(testing::PrintToString(Describe(args)));
        qeltest::ChildProcess child(ProgramPath(), args, kMaxLifetime);
        ASSERT_TRUE(child.Started());
        const Ending ending = WaitForEnd(child, {});
        ASSERT_TRUE(ending.exitCode.has_value());
        EXPECT_EQ(*ending.exitCode, 0u);
        EXPECT_TRUE(ending.windowsSeen.empty());
    }
}

TEST_F(ProgramTest, ACommandLineThatDoesNotFitEndsWithZeroAndNoWindow) {
    const std::vector<std::wstring> cases[] = {
        {L"-Bogus"},
        {L"-setup"},
        {L"SETUP"},
        {L"-HD", L"-REG", L"Model"},
        {L"-HD", L"-REG", L"Model", L"Queue", L"EN"},
        {L"-Preply", L"-REG", L"Model", L"Queue"},
        {L"-Preply", L"-XX", L"Model", L"Queue", L"EN"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(testing::PrintToString(Describe(args)));
        qeltest::ChildProcess child(ProgramPath(), args, kMaxLifetime);
        ASSERT_TRUE(child.Started());
        const Ending ending = WaitForEnd(child, {});
        ASSERT_TRUE(ending.exitCode.has_value());
        EXPECT_EQ(*ending.exitCode, 0u);
        EXPECT_TRUE(ending.windowsSeen.empty());
    }
}

} // namespace
