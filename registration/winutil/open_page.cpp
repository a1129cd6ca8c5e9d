#include "winutil/open_page.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <array>
#include <string_view>

#include "win/unique_any.h"

namespace qelwinutil {

namespace {

// The program file of the default handler of "http", or empty.
std::wstring HttpHandler() {
    std::array<wchar_t, 520> path{};
    DWORD size = static_cast<DWORD>(path.size());
    if (FAILED(::AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, L"http", L"open", path.data(),
                                   &size))) {
        return {};
    }
    path.back() = L'\0';
    return path.data();
}

// A primary token of the user who owns the desktop shell, or nothing.
qelwin::unique_handle ShellUserToken() {
    HWND shell = ::GetShellWindow();
    if (shell == nullptr) {
        return {};
    }
    DWORD processId = 0;
    ::GetWindowThreadProcessId(shell, &processId);
    if (processId == 0) {
        return {};
    }
    const qelwin::unique_handle process(::OpenProcess(MAXIMUM_ALLOWED, FALSE, processId));
    if (!process) {
        return {};
    }
    qelwin::unique_handle token;
    if (!::OpenProcessToken(process.get(), MAXIMUM_ALLOWED, token.put())) {
        return {};
    }
    qelwin::unique_handle primary;
    if (!::DuplicateTokenEx(token.get(), MAXIMUM_ALLOWED, nullptr, SecurityAnonymous, TokenPrimary,
                            primary.put())) {
        return {};
    }
    return primary;
}

// ASCII only: a scheme is ASCII, and the letter rules of a locale have no say in it.
wchar_t AsciiLower(wchar_t c) noexcept {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) noexcept {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// C0 and C1 controls and DEL: a shell or a browser's command line may cut or split the
// address at them.
bool IsControl(wchar_t c) noexcept {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

} // namespace

bool IsWebPageAddress(const std::wstring& address) noexcept {
    const std::wstring_view text(address);
    std::size_t hostStart = 0;
    if (StartsWithNoCase(text, L"http://")) {
        hostStart = 7;
    } else if (StartsWithNoCase(text, L"https://")) {
        hostStart = 8;
    } else {
        return false;
    }
    // "http:///C:/..." names no host: not an address of the web.
    if (hostStart == text.size() || text.find_first_of(L"/?#\\", hostStart) == hostStart) {
        return false;
    }
    for (const wchar_t c : text) {
        if (IsControl(c)) {
            return false;
        }
    }
    return true;
}

void OpenUrl(const std::wstring& address) noexcept {
    ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::optional<std::wstring> BuildShellUserCommandLine(const std::wstring& handler,
                                                      const std::wstring& address) {
    if (handler.find(L'"') != std::wstring::npos || address.find(L'"') != std::wstring::npos) {
        return std::nullopt;
    }
    std::wstring line = L"\"" + handler + L"\" \"" + address + L"\"";
    if (line.size() + 1 > kMaxShellUserCommandLine) {
        return std::nullopt;
    }
    return line;
}

bool OpenUrlAsShellUser(const std::wstring& address) noexcept {
    try {
        const std::wstring handler = HttpHandler();
        if (handler.empty()) {
            return false;
        }
        std::optional<std::wstring> commandLine = BuildShellUserCommandLine(handler, address);
        if (!commandLine) {
            return false;
        }
        const qelwin::unique_handle token = ShellUserToken();
        if (!token) {
            return false;
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        // The handler goes in as the application name, so a path with blanks cannot be read
        // as a shorter program followed by arguments.
        const BOOL created = ::CreateProcessWithTokenW(
            token.get(), 0, handler.c_str(), commandLine->data(),
            CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &started);
        const qelwin::unique_handle process(started.hProcess);
        const qelwin::unique_handle thread(started.hThread);
        return created && process;
    } catch (...) {
        return false; // out of memory: the ordinary open takes over
    }
}

bool IsProcessElevated() noexcept {
    qelwin::unique_handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return false;
    }
    TOKEN_ELEVATION_TYPE type{};
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), TokenElevationType, &type, sizeof(type), &size)) {
        return false;
    }
    return type == TokenElevationTypeFull;
}

void OpenPage(const std::wstring& address, const PageOpeners& openers) noexcept {
    if (!IsWebPageAddress(address)) {
        return;
    }
    if (openers.isElevated() && openers.openAsShellUser(address)) {
        return;
    }
    openers.openUrl(address);
}

} // namespace qelwinutil
