// Drives the real QelRegistration.exe: starts it, finds what it shows, reads the texts, presses
// the buttons and checks how it ends. A watchdog ends any copy that outlives its time.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/TansuApp.h"
#include "testkit/child_process.h"
#include "testkit/screenshot.h"
#include "testkit/windows.h"
#include "ui/TextLibrary.h"
#include "ui/text_ids.h"
#include "win/module_path.h"
#include "win/registry_view.h"
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

// Starts the program and expects it to end with 0 without ever showing a window.
void ExpectEndWithoutAWindow(const std::vector<std::wstring>& args) {
    SCOPED_TRACE(testing::PrintToString(Describe(args)));
    qeltest::ChildProcess child(ProgramPath(), args, kMaxLifetime);
    ASSERT_TRUE(child.Started());
    const Ending ending = WaitForEnd(child, {});
    ASSERT_TRUE(ending.exitCode.has_value());
    EXPECT_EQ(*ending.exitCode, 0u);
    EXPECT_TRUE(ending.windowsSeen.empty());
}

// Starts the program, waits for its message box, reads it (and saves a picture of it when a file
// name is given), presses the button and expects the run to end with 0 and no further window.
// Nothing when no box appeared.
std::optional<qeltest::MessageBoxContent> AnswerBox(const std::wstring& program,
                                                    const std::vector<std::wstring>& args,
                                                    int press, const wchar_t* screenshot) {
    qeltest::ChildProcess child(program, args, kMaxLifetime);
    if (!child.Started()) {
        ADD_FAILURE() << "the program did not start";
        return std::nullopt;
    }
    HWND box = qeltest::WaitForWindow(child.Id(), child.Handle(), L"#32770", kWindowWait);
    if (box == nullptr) {
        ADD_FAILURE() << "no message box appeared";
        return std::nullopt;
    }
    const qeltest::MessageBoxContent content = qeltest::ReadMessageBox(box);
    if (screenshot != nullptr) {
        EXPECT_TRUE(qeltest::SaveWindowScreenshot(box, qeltest::ArtifactPath(screenshot)));
    }
    // Behind the box, the flow runs on a hidden message-only window.
    HWND hidden = qeltest::FindMessageOnlyWindow(child.Id(), qelapp::kWindowClassName);
    EXPECT_NE(hidden, nullptr);
    EXPECT_FALSE(::IsWindowVisible(hidden));

    qeltest::PressButton(box, press);
    const Ending ending = WaitForEnd(child, {box});
    EXPECT_TRUE(ending.exitCode.has_value()) << "the program did not end";
    EXPECT_EQ(ending.exitCode.value_or(0xDEAD), 0u);
    EXPECT_TRUE(ending.windowsSeen.empty()) << "a further window appeared";
    EXPECT_FALSE(child.KilledByWatchdog());
    return content;
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
        const auto content = AnswerBox(ProgramPath(), c.args, c.press, c.screenshot);
        ASSERT_TRUE(content.has_value());
        EXPECT_EQ(content->caption, english_.LoadText(qelui::text::kCaption));
        EXPECT_EQ(content->text, english_.LoadText(c.textId));
        EXPECT_EQ(content->buttons, std::vector<int>{IDOK});
        EXPECT_TRUE(content->hasIcon);
    }
}

TEST_F(ProgramTest, ASecondCopyEndsAtOnceWithoutAWindow) {
    // This test holds the single-instance mutex, as a running first copy would.
    const qelwin::unique_handle first(
        ::CreateMutexW(nullptr, FALSE, qelapp::kSingleInstanceMutexName));
    ASSERT_TRUE(first);
    for (const std::vector<std::wstring>& args :
         {std::vector<std::wstring>{}, std::vector<std::wstring>{L"-Setup"}}) {
        ExpectEndWithoutAWindow(args);
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
        ExpectEndWithoutAWindow(args);
    }
}

// The installer's language for this machine; the value is gone again when the object goes.
class InstalledLanguage {
public:
    explicit InstalledLanguage(const wchar_t* code) {
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velto\\QelRegistration", 0, nullptr, 0,
                          KEY_SET_VALUE | qelwin::kRegistryView, nullptr, key_.put(), nullptr);
        if (key_ && code != nullptr) {
            written_ = ::RegSetValueExW(key_.get(), L"LanguageCode", 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(code),
                                        static_cast<DWORD>((wcslen(code) + 1) * sizeof(wchar_t))) ==
                       ERROR_SUCCESS;
        } else if (key_) {
            ::RegDeleteValueW(key_.get(), L"LanguageCode");
            written_ = true;
        }
    }
    ~InstalledLanguage() {
        if (key_) {
            ::RegDeleteValueW(key_.get(), L"LanguageCode");
        }
    }
    InstalledLanguage(const InstalledLanguage&) = delete;
    InstalledLanguage& operator=(const InstalledLanguage&) = delete;
    bool Written() const noexcept { return written_; }

private:
    qelwin::unique_hkey key_;
    bool written_ = false;
};

TEST_F(ProgramTest, TheBoxSpeaksTheInstalledLanguageOrEnglish) {
    qelui::TextLibrary german;
    ASSERT_TRUE(german.Load(L"DE"));
    struct Case {
        const wchar_t* installed;
        const qelui::TextLibrary& texts;
    };
    const Case cases[] = {
        {nullptr, english_},
        {L"DE", german},
        {L"FR", english_},    // no such language folder
        {L"DE\\.", english_}, // names a folder, so it is not taken as a language
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.installed ? c.installed : L"(none)"));
        const InstalledLanguage language(c.installed);
        ASSERT_TRUE(language.Written());
        const auto content = AnswerBox(ProgramPath(), {}, IDOK, nullptr);
        ASSERT_TRUE(content.has_value());
        EXPECT_EQ(content->caption, c.texts.LoadText(qelui::text::kCaption));
        EXPECT_EQ(content->text, c.texts.LoadText(qelui::text::kStartedWithoutOption));
    }
}

TEST_F(ProgramTest, WithoutAnyTextLibraryTheBoxesShowEmptyAndTheRunStillEnds) {
    // A copy of the program in a folder of its own, with no language folders beside it.
    const std::wstring folder =
        qelwin::JoinPath(qelwin::ThisModuleFolder(), L"program-without-texts");
    const std::wstring copy = qelwin::JoinPath(folder, L"QelRegistration.exe");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(ProgramPath().c_str(), copy.c_str(), FALSE));
    const std::pair<std::vector<std::wstring>, int> starts[] = {{{}, IDOK},
                                                                {{L"-Setup"}, IDCANCEL}};
    for (const auto& [args, press] : starts) {
        SCOPED_TRACE(testing::PrintToString(Describe(args)));
        const auto content = AnswerBox(copy, args, press, nullptr);
        ASSERT_TRUE(content.has_value());
        EXPECT_EQ(content->caption, L"");
        EXPECT_EQ(content->text, L"");
    }
    ::DeleteFileW(copy.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace
