#include "winutil/open_page.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "testkit/page_recorder.h"
#include "win/module_path.h"
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
    const std::wstring longest = page + std::wstring(2059, L'l'); // 2083 characters
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
        {true, true, L"file:///C:/x.bat", {}},
        {true, false, L"https://sim.example/\"q\"", {}},
        {false, false, longest, {L"elevated?", L"open " + longest}},
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

// The test browser made the handler of what a refused address could reach through the shell as
// well: other schemes, and a file type with a file of it in the working folder. An address that
// slipped through is then recorded instead of vanishing. Like the browser, they stay registered
// in the test prefix.
bool TrapLeaks(const std::wstring& trapFile) {
    const std::wstring browser =
        L"\"" + qelwin::JoinPath(qelwin::ThisModuleFolder(), L"qelpagerec.exe") + L"\" \"%1\"";
    const auto set = [](const wchar_t* key, const std::wstring& value) {
        return ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, value.c_str(),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
               ERROR_SUCCESS;
    };
    return set(L".qeltrap", L"qeltrapfile") && set(L"qeltrapfile\\shell\\open\\command", browser) &&
           set(L"javascript\\shell\\open\\command", browser) &&
           set(L"ms-settings\\shell\\open\\command", browser) &&
           qelwin::unique_file(::CreateFileW(trapFile.c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, 0, nullptr));
}

TEST(OpenPage, OnlyAbsoluteWebAddressesReachTheBrowserWhateverTheirLengthOrQuotes) {
    const qeltest::PageRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    const std::wstring trapFile = L"leak.qeltrap";
    ASSERT_TRUE(TrapLeaks(trapFile));
    std::wstring trapPath(MAX_PATH, L'\0');
    trapPath.resize(::GetFullPathNameW(trapFile.c_str(), MAX_PATH, trapPath.data(), nullptr));
    std::wstring fileUrl = L"file:///" + trapPath;
    std::replace(fileUrl.begin(), fileUrl.end(), L'\\', L'/');
    struct Case {
        std::wstring address;
        bool opens;
    };
    const std::wstring s = L"https://sim.example/";
    // Refused ones first, each before a page that opens, so one that slipped through shows.
    // clang-format off
    const Case cases[] = {
        {L"", false}, {fileUrl, false}, {L"FiLe" + fileUrl.substr(4), false},
        {trapPath, false}, {trapFile, false}, {L"C:\\x.bat", false},
        {L"\\\\host\\share\\x.bat", false}, {L"javascript:alert(1)", false},
        {L"ms-settings:network", false},
        {L"https://sim.example/reg?id=1&lang=EN", true},
        {L" https://sim.example/lead", false}, {L"\thttp://sim.example/lead", false},
        {L"https://sim.example/a\nb", false}, {L"https://sim.example/a\x7F", false},
        {L"https://sim.example/a\x85", false},
        {std::wstring(L"https://sim.example/a\0b", 23), false},
        {L"http:///" + trapPath, false}, {L"https:\\\\sim.example\\x", false},
        {L"http:/sim.example/", false}, {L"http://", false}, {L"httpx://sim.example/", false},
        {L"//sim.example/page", false}, {L"/gateway/page?reg=1", false},
        {L"sim.example/page", false}, {L"ftp://sim.example/", false},
        {L"HTTPS://sim.example/Upper?x=1", true}, {L"hTtP://127.0.0.1:18470/page?reg=2", true},
        // Wine's ShellExecuteW overruns a fixed buffer beyond about 1000 characters, so the
        // longest page here stays below that.
        {L"https://sim.example/" + std::wstring(900, L'l'), true},
        {L"https://sim.example/say\"hi\" and spaces", false}, {L"https://sim\u3000example/", false},
        {s + std::wstring(2064, L'l'), false}, {L"https://sim.example\\x", false},
        {s + L"\xD800" L"b", false}, {s + L"\U000E0041", false}, {s + L"\u202Eexe", false},
        {s + L"\u200B", false}, {s + L"\u2028", false}, {s + L"\u00A0", false}, {s + L"a b", false},
        {s + L"\uFEFF", false}, {s + L"\xDC00", false}, {s + L"<b>", false}, {s + L"a|b", false},
        {s + L"a^b", false}, {s + L"a`b", false}, {s + L"\"", false}, {s + L"{}", false},
        {L"https://b\u00FCcher.\u4F8B\u3048/\U00010400?q=\u00E9%20", true},
        {L"http://u:p@[fe80::1%25eth0]:1/p;x=!$'()*+,~", true},
    };
    // clang-format on
    std::vector<std::wstring> expected;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.address.substr(0, 60)));
        EXPECT_EQ(qelwinutil::IsWebPageAddress(c.address), c.opens);
        qelwinutil::OpenPage(c.address);
        if (c.opens) {
            expected.push_back(c.address);
        }
        // The browser is started before the open returns: once the browsers started meanwhile
        // have ended, the page is recorded, and a refused address added none (the program driver
        // relies on it for pages that may or may not come).
        EXPECT_EQ(recorder.WaitForRecorders(std::chrono::seconds(10)), expected);
    }
    EXPECT_EQ(recorder.Pages(), expected);
    ::DeleteFileW(trapFile.c_str());
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
