#include "winutil/open_page.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <wininet.h>

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

// What RFC 3986 allows raw besides letters and digits; any other ASCII character (a blank, a
// quote, "<", "|", "^", a back quote, a backslash, a control...) must be escaped, and a shell or
// a browser's command line may read it as the end of the address or as an instruction.
constexpr std::wstring_view kAddressPunctuation = L"-._~:/?#[]@!$&'()*+,;=%";

bool IsAllowedAscii(wchar_t c) noexcept {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           kAddressPunctuation.find(c) != std::wstring_view::npos;
}

// The controls, format characters and separators of Unicode above ASCII (categories Cc, Cf, Zs,
// Zl, Zp): invisible or breaking, they let an address show one page and open another, or be cut.
struct CodeRange {
    char32_t first;
    char32_t last;
};
constexpr CodeRange kInvisibleOrSeparating[] = {
    {0x80, 0xA0},       {0xAD, 0xAD},       {0x600, 0x605},     {0x61C, 0x61C},
    {0x6DD, 0x6DD},     {0x70F, 0x70F},     {0x890, 0x891},     {0x8E2, 0x8E2},
    {0x1680, 0x1680},   {0x180E, 0x180E},   {0x2000, 0x200F},   {0x2028, 0x202F},
    {0x205F, 0x2064},   {0x2066, 0x206F},   {0x3000, 0x3000},   {0xFEFF, 0xFEFF},
    {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F},
    {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
};

bool IsInvisibleOrSeparating(char32_t c) noexcept {
    for (const CodeRange& range : kInvisibleOrSeparating) {
        if (c < range.first) {
            return false;
        }
        if (c <= range.last) {
            return true;
        }
    }
    return false;
}

bool IsHighSurrogate(wchar_t c) noexcept {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) noexcept {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Every character may stand in an address: allowed ASCII, or any other character of Unicode
// but the invisible and separating ones. A lone surrogate is no character at all.
bool HoldsOnlyAddressCharacters(std::wstring_view text) noexcept {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < 0x80) {
            if (!IsAllowedAscii(c)) {
                return false;
            }
            continue;
        }
        char32_t code = c;
        if (IsHighSurrogate(c)) {
            if (i + 1 == text.size() || !IsLowSurrogate(text[i + 1])) {
                return false;
            }
            code = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (IsLowSurrogate(c)) {
            return false;
        }
        if (IsInvisibleOrSeparating(code)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsWebPageAddress(const std::wstring& address) noexcept {
    const std::wstring_view text(address);
    // The platform's limit, its terminator counted: at most 2083 characters. What goes beyond
    // it no browser or shell is sure to take whole.
    if (text.size() >= INTERNET_MAX_URL_LENGTH) {
        return false;
    }
    std::size_t hostStart = 0;
    if (StartsWithNoCase(text, L"http://")) {
        hostStart = 7;
    } else if (StartsWithNoCase(text, L"https://")) {
        hostStart = 8;
    } else {
        return false;
    }
    // "http:///C:/..." names no host: not an address of the web.
    if (hostStart == text.size() || text.find_first_of(L"/?#", hostStart) == hostStart) {
        return false;
    }
    return HoldsOnlyAddressCharacters(text);
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
