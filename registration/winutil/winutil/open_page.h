// Opening a web page in the user's browser. An elevated program must not hand the page to a
// browser running as the administrator, so it starts the browser with the desktop user's token.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qelwinutil {

// ShellExecuteW "open" of the address with no owner; its result is not looked at.
void OpenUrl(const std::wstring& address) noexcept;

// Starts the default http handler with the address as the user who owns the desktop shell.
// False when there is no handler or shell, a token step fails, or the address cannot be put on
// a command line (see BuildShellUserCommandLine).
bool OpenUrlAsShellUser(const std::wstring& address) noexcept;

// True when the process token is a full administrator token (TokenElevationTypeFull).
bool IsProcessElevated() noexcept;

// Longest command line, terminator included, that CreateProcessWithTokenW accepts.
inline constexpr std::size_t kMaxShellUserCommandLine = 1024;

// "<handler>" "<address>", or nothing when either holds a double quote (it would end the
// argument early) or the line would not fit kMaxShellUserCommandLine.
std::optional<std::wstring> BuildShellUserCommandLine(const std::wstring& handler,
                                                      const std::wstring& address);

// The ways a page can be opened, replaceable so the rule below can be tested on its own.
struct PageOpeners {
    bool (*isElevated)() noexcept = IsProcessElevated;
    bool (*openAsShellUser)(const std::wstring&) noexcept = OpenUrlAsShellUser;
    void (*openUrl)(const std::wstring&) noexcept = OpenUrl;
};

// True only for an absolute http or https address (scheme in any letter case, a host after
// "//", nothing before the scheme) of at most 2083 characters (INTERNET_MAX_URL_LENGTH with its
// terminator) that holds no ASCII character an address must escape (a blank, a quote, "<", ">",
// "|", "^", a back quote, braces, a backslash, a control) and no control, format, space or
// separator character of Unicode; letters of any script may stand raw. Pages come from the
// cloud's answers and the installer's values; anything else handed to the shell could run a
// local file or another program, or be read by a browser's command line as more than one
// argument. A flow that decides on "is there a page" asks this, so a refused page goes the way
// of an empty one.
bool IsWebPageAddress(const std::wstring& address) noexcept;

// How every flow opens a page: elevated, as the desktop user; otherwise, or when that fails,
// with ShellExecuteW. An address that is not a web page (IsWebPageAddress), the empty one
// included, opens nothing, neither way: the fallback never opens as the administrator what the
// rule refused.
void OpenPage(const std::wstring& address, const PageOpeners& openers = {}) noexcept;

} // namespace qelwinutil
