// The system libraries that QelRegistration.exe loads at their first call: its first box needs
// none of them, and one that is missing ends a run with a box naming it and the loader's status
// instead of an exception. The libraries are taken away through Wine's per-program load order
// in the prefix's registry; qelapp_delay_load_probe.exe calls into winhttp.dll the way the
// program does.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "testkit/child_process.h"
#include "testkit/windows.h"
#include "ui/TextLibrary.h"
#include "ui/text_ids.h"
#include "win/module_path.h"
#include "win/unique_any.h"

namespace {

using namespace std::chrono_literals;

constexpr const wchar_t* kProgram = L"QelRegistration.exe";
constexpr const wchar_t* kProbe = L"qelapp_delay_load_probe.exe";

// Wine's libraries that one program may not load, read by each copy that starts while the
// object lives.
class DisabledLibraries {
public:
    DisabledLibraries(const std::wstring& program, const std::vector<std::wstring>& libraries)
        : key_(L"Software\\Wine\\AppDefaults\\" + program) {
        qelwin::unique_hkey overrides;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, (key_ + L"\\DllOverrides").c_str(), 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, overrides.put(), nullptr);
        written_ = static_cast<bool>(overrides);
        for (const auto& library : libraries) {
            // An empty load order: neither the system's library nor one of its own.
            written_ = written_ && ::RegSetValueExW(overrides.get(), library.c_str(), 0, REG_SZ,
                                                    reinterpret_cast<const BYTE*>(L""),
                                                    sizeof(wchar_t)) == ERROR_SUCCESS;
        }
    }
    ~DisabledLibraries() { ::RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }
    DisabledLibraries(const DisabledLibraries&) = delete;
    DisabledLibraries& operator=(const DisabledLibraries&) = delete;
    bool Written() const noexcept { return written_; }

private:
    std::wstring key_;
    bool written_ = false;
};

bool SystemHasEntry(const wchar_t* library, const char* entry) {
    const qelwin::unique_hmodule module(::LoadLibraryW(library));
    return ::GetProcAddress(module.get(), entry) != nullptr;
}

TEST(DelayLoadTest, AMissingLibraryOrEntryEndsTheRunWithABoxNamingIt) {
    qelui::TextLibrary english;
    ASSERT_TRUE(english.Load(L"EN"));
    struct Case {
        const wchar_t* program;
        const wchar_t* argument;
        std::vector<std::wstring> disabled;
        std::wstring caption; // empty: no box, the program ends by itself
        std::wstring textStart;
        DWORD exitCode;
    };
    const Case cases[] = {
        {kProgram,
         nullptr,
         {L"bcrypt", L"credui", L"crypt32", L"winhttp", L"winspool.drv"},
         english.LoadText(qelui::text::kCaption),
         english.LoadText(qelui::text::kStartedWithoutOption),
         0},
        {kProbe, L"library", {}, L"", L"", 0},
        {kProbe, L"library", {L"winhttp"}, kProbe, L"winhttp.dll\n\n", STATUS_DLL_NOT_FOUND},
        {kProbe,
         L"entry",
         {},
         kProbe,
         L"winhttp.dll: WinHttpAddRequestHeadersEx\n\n",
         STATUS_ENTRYPOINT_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.program) + L" " +
                                            (c.argument ? c.argument : L"")) +
                     " without " + testing::PrintToString(c.disabled));
        if (c.exitCode == STATUS_ENTRYPOINT_NOT_FOUND &&
            SystemHasEntry(L"winhttp.dll", "WinHttpAddRequestHeadersEx")) {
            continue; // this system has the entry: nothing to take away
        }
        const DisabledLibraries missing(c.program, c.disabled);
        ASSERT_TRUE(missing.Written());
        std::vector<std::wstring> args;
        if (c.argument != nullptr) {
            args.emplace_back(c.argument);
        }
        qeltest::ChildProcess child(qelwin::JoinPath(qelwin::ThisModuleFolder(), c.program), args,
                                    60s);
        ASSERT_TRUE(child.Started());
        if (!c.caption.empty()) {
            HWND box = qeltest::WaitForWindow(child.Id(), child.Handle(), L"#32770", 30s);
            ASSERT_NE(box, nullptr);
            const auto content = qeltest::ReadMessageBox(box);
            EXPECT_EQ(content.caption, c.caption);
            EXPECT_EQ(content.text.rfind(c.textStart, 0), 0u)
                << testing::PrintToString(content.text);
            EXPECT_TRUE(content.hasIcon);
            qeltest::PressButton(box, IDOK);
        }
        const auto exitCode = child.WaitForExit(30s);
        ASSERT_TRUE(exitCode.has_value());
        EXPECT_EQ(*exitCode, c.exitCode);
    }
}

} // namespace
