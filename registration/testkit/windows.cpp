#include "testkit/windows.h"

#include <algorithm>
#include <array>
#include <thread>

namespace qeltest {

namespace {

constexpr UINT kAnswerTimeoutMs = 3000;

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

std::wstring WindowText(HWND window) {
    // Reads the text the system keeps for the window; for another process's window this does
    // not wait on that process.
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::string Utf8(const std::wstring& text) {
    const int length = ::WideCharToMultiByte(
        CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(length, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(),
                          length, nullptr, nullptr);
    return out;
}

std::wstring WindowClass(HWND window) {
    std::array<wchar_t, 256> name{};
    const int length = ::GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return std::wstring(name.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::vector<HWND> VisibleTopLevelWindows(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && ::IsWindowVisible(window)) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId, HANDLE process, const std::wstring& className,
                   std::chrono::milliseconds timeout, std::chrono::milliseconds poll) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (HWND window : VisibleTopLevelWindows(processId)) {
            if (className.empty() || WindowClass(window) == className) {
                return window;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline ||
            ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            return nullptr;
        }
        std::this_thread::sleep_for(poll);
    }
}

HWND FindMessageOnlyWindow(DWORD processId, const std::wstring& className) {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(HWND_MESSAGE, window, className.c_str(), nullptr)) !=
           nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId) {
            return window;
        }
    }
    return nullptr;
}

MessageBoxContent ReadMessageBox(HWND box) {
    MessageBoxContent content;
    content.caption = WindowText(box);
    for (HWND child : Children(box)) {
        if (!::IsWindowVisible(child)) {
            continue;
        }
        const std::wstring cls = WindowClass(child);
        if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            content.buttons.push_back(::GetDlgCtrlID(child));
        } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
            if ((style & SS_TYPEMASK) == SS_ICON) {
                content.hasIcon = true;
            } else if (content.text.empty()) {
                content.text = WindowText(child);
            }
        }
    }
    return content;
}

void PressButton(HWND dialog, int id) {
    HWND button = ::GetDlgItem(dialog, id);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
}

std::vector<std::wstring> ComboEntries(HWND combo) {
    // The system carries the texts of a combo box with strings between processes.
    const auto ask = [combo](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutW(combo, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                     kAnswerTimeoutMs, &result)
                   ? static_cast<LRESULT>(result)
                   : CB_ERR;
    };
    std::vector<std::wstring> entries;
    const LRESULT count = combo != nullptr ? ask(CB_GETCOUNT, 0, 0) : CB_ERR;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = ask(CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
        const LRESULT copied = length > 0 ? ask(CB_GETLBTEXT, static_cast<WPARAM>(i),
                                                reinterpret_cast<LPARAM>(text.data()))
                                          : 0;
        text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        entries.push_back(std::move(text));
    }
    return entries;
}

bool ChooseComboEntry(HWND combo, int index) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0,
                                 SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result) &&
           static_cast<LRESULT>(result) == index;
}

} // namespace qeltest
