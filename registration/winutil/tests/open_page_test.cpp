#include "winutil/open_page.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "testkit/page_recorder.h"
#include "win/unique_any.h"

namespace {

const std::wstring kHandler = L"C:\\Program Files\\Web Browser\\browser.exe";

// The longest address whose command line still fits.
std::wstring AddressFilling(std::size_t lineLength) {
    const std::size_t overhead = kHandler.size() + 5; // two pairs of quotes and a blank
    return L"https://sim.example/" + std::wstring(lineLength - overhead - 20, L'a');
}

TEST(ShellUserCommandLine, QuotesHandlerAndAddressAndRefusesWhatCannotBeQuoted) {
    const std::size_t limit = qelwinutil::kMaxShellUserCommandLine - 1; // without the terminator
    struct Case {
        std::wstring handler;
        std::wstring address;
        std::optional<std::wstring> line;
    };
    const std::wstring fits = AddressFilling(limit);
    const Case cases[] = {
        {kHandler, L"https://sim.example/reg?id=1&x=a b",
         L"\"" + kHandler + L"\" \"https://sim.example/reg?id=1&x=a b\""},
        {kHandler, L"", L"\"" + kHandler + L"\" \"\""},
        {kHandler, L"https://sim.example/\"quoted\"", std::nullopt},
        {L"C:\\odd\"name.exe", L"https://sim.example/", std::nullopt},
        {kHandler, fits, L"\"" + kHandler + L"\" \"" + fits + L"\""},
        {kHandler, fits + L"b", std::nullopt},
        {kHandler, std::wstring(40000, L'c'), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.address.substr(0, 60)));
        const auto line = qelwinutil::BuildShellUserCommandLine(c.handler, c.address);
        EXPECT_EQ(line, c.line);
        if (line) {
            EXPECT_LE(line->size(), limit);
        }
    }
}

// What the replaced openers were asked, in order.
std::vector<std::wstring> g_calls;
bool g_elevated = false;
bool g_shellUserWorks = false;

bool FakeElevated() noexcept {
    g_calls.push_back(L"elevated?");
    return g_elevated;
}
bool FakeShellUser(const std::wstring& address) noexcept {
    g_calls.push_back(L"shell-user " + address);
    return g_shellUserWorks;
}
void FakeOpen(const std::wstring& address) noexcept {
    g_calls.push_back(L"open " + address);
}

TEST(OpenPage, ElevatedOpensAsTheDesktopUserElseOrOnFailureWithTheShell) {
    const qelwinutil::PageOpeners fakes{FakeElevated, FakeShellUser, FakeOpen};
    const std::wstring page = L"https://sim.example/page";
    struct Case {
        bool elevated;
        bool shellUserWorks;
        std::wstring address;
        std::vector<std::wstring> calls;
    };
    const Case cases[] = {
        {false, true, page, {L"elevated?", L"open " + page}},
        {true, true, page, {L"elevated?", L"shell-user " + page}},
        {true, false, page, {L"elevated?", L"shell-user " + page, L"open " + page}},
        {true, true, L"", {}},
        {false, false, L"", {}},
    };
    for (const auto& c : cases) {
        g_calls.clear();
        g_elevated = c.elevated;
        g_shellUserWorks = c.shellUserWorks;
        qelwinutil::OpenPage(c.address, fakes);
        EXPECT_EQ(g_calls, c.calls) << c.elevated << c.shellUserWorks;
    }
}

// Opens one page at a time and expects the browser to receive exactly it. The browser is
// started before the open returns, so waiting for the browsers started meanwhile finds the page
// (the program driver relies on it for pages that may or may not come).
void ExpectOpened(const qeltest::PageRecorder& recorder, const std::wstring& address,
                  std::vector<std::wstring>& expected) {
    qelwinutil::OpenPage(address);
    expected.push_back(address);
    EXPECT_EQ(recorder.WaitForRecorders(std::chrono::seconds(10)), expected) << expected.size();
}

TEST(OpenPage, ThePageReachesTheBrowserWhateverItsLengthOrQuotes) {
    const qeltest::PageRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    std::vector<std::wstring> expected;
    ExpectOpened(recorder, L"https://sim.example/reg?id=1&lang=EN", expected);
    // Nothing opens for an empty address; the next page is the only one that arrives.
    qelwinutil::OpenPage(L"");
    // Wine's ShellExecuteW overruns a fixed buffer beyond about 1000 characters, so the
    // longest page here stays below that.
    ExpectOpened(recorder, L"https://sim.example/" + std::wstring(900, L'l'), expected);
    ExpectOpened(recorder, L"https://sim.example/say\"hi\"", expected);
}

using SetShellWindowFunction = BOOL(WINAPI*)(HWND);

TEST(OpenUrlAsShellUser, StartsTheBrowserWithTheShellOwnersTokenOnlyWhileThereIsAShell) {
    const qeltest::PageRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    qelwin::unique_hwnd shell(::CreateWindowExW(0, L"STATIC", L"desktop shell", WS_POPUP, 0, 0, 10,
                                                10, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(shell);
    // The test display runs no desktop shell; this window stands in for it.
    const auto setShellWindow = reinterpret_cast<SetShellWindowFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetShellWindow")));
    ASSERT_NE(setShellWindow, nullptr);
    if (::GetShellWindow() == nullptr) {
        ASSERT_TRUE(setShellWindow(shell.get()));
    }

    const std::wstring page = L"https://sim.example/reg?as=desktop user";
    EXPECT_TRUE(qelwinutil::OpenUrlAsShellUser(page));
    EXPECT_EQ(recorder.WaitForRecorders(std::chrono::seconds(10)), std::vector<std::wstring>{page});
    EXPECT_FALSE(qelwinutil::OpenUrlAsShellUser(L"https://sim.example/\"q\""));
    EXPECT_FALSE(qelwinutil::OpenUrlAsShellUser(std::wstring(2000, L'x')));

    const HWND ours = shell.get();
    const bool wasOurs = ::GetShellWindow() == ours;
    shell.reset();
    if (wasOurs) {
        EXPECT_EQ(::GetShellWindow(), nullptr);
        EXPECT_FALSE(qelwinutil::OpenUrlAsShellUser(page));
    }
    EXPECT_EQ(recorder.Pages().size(), 1u);
}

} // namespace
