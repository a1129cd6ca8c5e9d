#include "hostile/program_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <set>
#include <thread>

#include "resource.h"
#include "testkit/child_process.h"
#include "testkit/windows.h"

namespace qelhostile {

namespace {

using namespace std::chrono_literals;

constexpr auto kPoll = 50ms;
// A screen must stay as it is this long before it is answered: a list that has just shown, or
// whose registration has just begun, is still working.
constexpr auto kSettle = 250ms;
// How long a user waits on a list that offers nothing to register and says nothing.
constexpr auto kListPatience = 8s;

bool Has(HWND window, int controlId) {
    return ::GetDlgItem(window, controlId) != nullptr;
}

// The topmost enabled window of the process: the one a user can act on.
HWND ActiveWindow(DWORD processId) {
    for (HWND window : qeltest::VisibleTopLevelWindows(processId)) {
        if (::IsWindowEnabled(window)) {
            return window;
        }
    }
    return nullptr;
}

int ListRows(HWND list) {
    DWORD_PTR rows = 0;
    if (!::SendMessageTimeoutW(::GetDlgItem(list, IDC_PRINTER_LIST), LVM_GETITEMCOUNT, 0, 0,
                               SMTO_ABORTIFHUNG, 1000, &rows)) {
        return 0;
    }
    return static_cast<int>(rows);
}

} // namespace

ProgramDriver::ProgramDriver(std::wstring program, std::map<int, std::wstring> boxTexts,
                             std::chrono::milliseconds watchdog)
    : program_(std::move(program)), boxTexts_(std::move(boxTexts)), watchdog_(watchdog) {}

int ProgramDriver::BoxNumber(const std::wstring& text) const {
    for (const auto& [number, known] : boxTexts_) {
        if (known == text) {
            return number;
        }
    }
    return 0;
}

DriveResult ProgramDriver::Run(const std::vector<std::wstring>& args,
                               const std::function<void()>& onRegister) {
    DriveResult result;
    qeltest::ChildProcess child(program_, args, watchdog_);
    result.started = child.Started();
    if (!result.started) {
        return result;
    }
    std::set<HWND> answered;
    HWND seen = nullptr;
    auto seenSince = std::chrono::steady_clock::now();
    // Boxes answered before the list first showed: a box after them tells that its search
    // found nothing to register.
    int boxesBeforeList = -1;
    auto listSince = std::chrono::steady_clock::now();
    while (!(result.exitCode = child.WaitForExit(kPoll))) {
        if (!child.IsRunning()) {
            break; // ended by the watchdog
        }
        HWND window = ActiveWindow(child.Id());
        if (window != seen) {
            seen = window;
            seenSince = std::chrono::steady_clock::now();
        }
        if (window == nullptr || answered.count(window) != 0 ||
            std::chrono::steady_clock::now() - seenSince < kSettle) {
            continue;
        }
            if (Has(window, IDC_SEARCH_PROGRESS_BAR) || Has(window, IDC_STATUS_PROGRESS_BAR)) {
            continue; // working
        }
        if (Has(window, IDC_AGREE)) {
            answered.insert(window);
            qeltest::PressButton(window, IDC_AGREE);
        } else if (Has(window, IDC_PRINTER_LIST)) {
            HWND registerButton = ::GetDlgItem(window, IDC_LIST_REGISTER);
            if (!result.registerPressed && ListRows(window) > 0 &&
                ::IsWindowEnabled(registerButton)) {
                result.registerPressed = true;
                if (onRegister) {
                    onRegister();
                }
                qeltest::PressButton(window, IDC_LIST_REGISTER);
            } else if (!result.registerPressed && boxesBeforeList < 0) {
                boxesBeforeList = static_cast<int>(result.boxes.size());
                listSince = std::chrono::steady_clock::now();
                continue; // the search has not shown yet
            } else if (!result.registerPressed &&
                       static_cast<int>(result.boxes.size()) == boxesBeforeList &&
                       std::chrono::steady_clock::now() - listSince < kListPatience) {
                continue; // still searching, or about to
            } else {
                // Registered and closing, or a failure was told: the user closes the list.
                answered.insert(window);
                ::PostMessageW(window, WM_CLOSE, 0, 0);
            }
            seenSince = std::chrono::steady_clock::now();
        } else if (Has(window, IDC_WIFI_CANCEL) || Has(window, IDC_SSID_CANCEL)) {
            answered.insert(window);
            qeltest::PressButton(window, Has(window, IDC_WIFI_CANCEL) ? IDC_WIFI_CANCEL
                                                                      : IDC_SSID_CANCEL);
        } else if (qeltest::WindowClass(window) == L"#32770" && !Has(window, IDC_PRINTER_LIST)) {
            const qeltest::MessageBoxContent box = qeltest::ReadMessageBox(window);
            const int number = BoxNumber(box.text);
            if (number == 0 && box.buttons.empty()) {
                result.unknownWindows.push_back(L"#32770 " + box.caption);
                answered.insert(window);
                ::PostMessageW(window, WM_CLOSE, 0, 0);
                continue;
            }
            result.boxes.push_back(number);
            answered.insert(window);
            const auto has = [&](int id) {
                return std::find(box.buttons.begin(), box.buttons.end(), id) != box.buttons.end();
            };
            qeltest::PressButton(window, has(IDOK)    ? IDOK
                                         : has(IDNO)  ? IDNO
                                         : has(IDCANCEL) ? IDCANCEL
                                                         : box.buttons.front());
        } else {
            result.unknownWindows.push_back(qeltest::WindowClass(window) + L" " +
                                            qeltest::WindowText(window));
            answered.insert(window);
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
    }
    if (!result.exitCode) {
        result.exitCode = child.WaitForExit(0ms);
    }
    if (child.KilledByWatchdog()) {
        result.exitCode.reset();
    }
    return result;
}

} // namespace qelhostile
