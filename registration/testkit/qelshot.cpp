// qelshot <file.bmp> <program file name> [seconds]
// Waits up to the given seconds (default 30) for a visible window of a running program with that
// file name, then saves a picture of all that program's visible windows. Exit code 0 when a
// picture was saved.
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "testkit/screenshot.h"
#include "win/unique_any.h"

namespace {

std::wstring ProcessFileName(DWORD processId) {
    const qelwin::unique_handle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return {};
    }
    std::array<wchar_t, 32768> path{};
    DWORD size = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) {
        return {};
    }
    const std::wstring full(path.data(), size);
    const auto slash = full.find_last_of(L"\\/");
    return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

struct Search {
    std::wstring programName;
    std::vector<HWND> windows;
};

std::vector<HWND> WindowsOfProgram(const std::wstring& programName) {
    Search search{programName, {}};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (!::IsWindowVisible(window)) {
                return TRUE;
            }
            DWORD processId = 0;
            ::GetWindowThreadProcessId(window, &processId);
            if (_wcsicmp(ProcessFileName(processId).c_str(), s->programName.c_str()) == 0) {
                s->windows.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        ::fputws(L"usage: qelshot <file.bmp> <program file name> [seconds]\n", stderr);
        return 2;
    }
    const std::wstring output = argv[1];
    const std::wstring program = argv[2];
    const int seconds = argc > 3 ? std::max(1, _wtoi(argv[3])) : 30;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::vector<HWND> windows;
    while ((windows = WindowsOfProgram(program)).empty()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::fwprintf(stderr, L"qelshot: no window of %ls appeared\n", program.c_str());
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    // Let the program finish painting what it just showed.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));

    RECT all{};
    for (HWND window : WindowsOfProgram(program)) {
        RECT rect{};
        if (::GetWindowRect(window, &rect)) {
            ::UnionRect(&all, &all, &rect);
        }
    }
    if (!qeltest::SaveScreenRect(all, output)) {
        ::fwprintf(stderr, L"qelshot: could not save %ls\n", output.c_str());
        return 1;
    }
    return 0;
}
