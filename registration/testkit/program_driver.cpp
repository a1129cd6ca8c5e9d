#include "testkit/program_driver.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <thread>

#include "qelinfo/ApplicationInfo.h"
#include "resource.h"
#include "testkit/child_process.h"
#include "testkit/page_recorder.h"
#include "testkit/remote_list_view.h"
#include "testkit/screenshot.h"
#include "testkit/windows.h"
#include "testkit/world_wifi.h"
#include "ui/text_ids.h"
#include "win/module_path.h"
#include "win/unique_any.h"

namespace qeltest {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kPoll = 50ms;
// The child's own watchdog, behind the driver's bounds should the driver itself stall.
constexpr auto kChildLifetimeMargin = 30s;
constexpr auto kExitWait = 10s;
// The browser and anything else the program started get this long to end after it did.
constexpr auto kFamilyWait = 10s;
// A browser started during the run: generous, as it costs nothing when none runs, and a browser
// started while every processor runs a test took over 10 s.
constexpr auto kBrowserWait = 30s;
constexpr UINT kEndedByDriver = 0xDEAD;
constexpr wchar_t kProgramName[] = L"QelRegistration.exe";

// Environment variables of this process for the run, as they were again afterwards.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const std::wstring& value) : name_(name) {
        if (value.empty()) {
            return;
        }
        const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
        if (size != 0) {
            std::wstring old(size, L'\0');
            old.resize(::GetEnvironmentVariableW(name, old.data(), size));
            previous_ = old;
        }
        set_ = ::SetEnvironmentVariableW(name, value.c_str()) != FALSE;
    }
    ~ScopedVariable() {
        if (set_) {
            ::SetEnvironmentVariableW(name_, previous_ ? previous_->c_str() : nullptr);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const wchar_t* name_;
    std::optional<std::wstring> previous_;
    bool set_ = false;
};

// The program and every process it started, and theirs: found by parent process ids. Process
// ids are reused, so a process counts as a child only when it was made after its parent: Wine's
// own services, whose long-gone parent may share the program's id, are never taken (nor ended).
class ProcessFamily {
public:
    explicit ProcessFamily(DWORD root) {
        if (const auto made = CreationTime(root)) {
            members_.emplace(root, *made);
        }
    }

    void Refresh() {
        ForEachProcess([this](const PROCESSENTRY32W& entry) {
            const auto parent = members_.find(entry.th32ParentProcessID);
            if (parent == members_.end() || members_.count(entry.th32ProcessID) != 0) {
                return;
            }
            const auto made = CreationTime(entry.th32ProcessID);
            if (made && *made >= parent->second) {
                members_.emplace(entry.th32ProcessID, *made);
                names_.emplace_back(entry.th32ProcessID, entry.szExeFile);
            }
        });
    }

    // Members other than the program that still run, as "name (pid)".
    std::vector<std::pair<DWORD, std::wstring>> Running() const {
        std::vector<std::pair<DWORD, std::wstring>> running;
        ForEachProcess([&](const PROCESSENTRY32W& entry) {
            for (const auto& [id, name] : names_) {
                if (id == entry.th32ProcessID && name == entry.szExeFile &&
                    CreationTime(id) == members_.at(id)) {
                    running.emplace_back(id, name);
                }
            }
        });
        return running;
    }

private:
    static std::optional<std::uint64_t> CreationTime(DWORD id) {
        const qelwin::unique_handle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
        FILETIME made{}, ended{}, kernel{}, user{};
        if (!process || !::GetProcessTimes(process.get(), &made, &ended, &kernel, &user)) {
            return std::nullopt;
        }
        return (static_cast<std::uint64_t>(made.dwHighDateTime) << 32) | made.dwLowDateTime;
    }

    template <typename Visit> static void ForEachProcess(Visit visit) {
        const qelwin::unique_file snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot) {
            return;
        }
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
             more = ::Process32NextW(snapshot.get(), &entry)) {
            visit(entry);
        }
    }

    std::map<DWORD, std::uint64_t> members_; // id and creation time
    std::vector<std::pair<DWORD, std::wstring>> names_;
};

struct Tracked {
    HWND window = nullptr;
    std::size_t screen = 0; // index in the report
    bool inFront = false;
    // Answered while in front this time: the next answer waits until the screen has left the
    // front (disabled under another screen, hidden) and come back, so a press the program has
    // not taken yet is never followed by the next row's.
    bool answered = false;
    Clock::time_point frontSince;
    Clock::time_point shownAt;
    std::size_t answeredUpTo = 0; // screens seen when it showed or was last answered
    bool told = false;            // its lines went to DriveOptions::progress
};

std::wstring Slug(const ScreenKey& key) {
    switch (key.kind) {
    case ScreenKind::Box:
        return L"box-" + std::to_wstring(key.id);
    case ScreenKind::Dialog:
        return L"dialog-" + std::to_wstring(key.id);
    case ScreenKind::Window:
        break;
    }
    return L"window";
}

std::wstring FirstLine(const std::wstring& text) {
    return text.substr(0, text.find_first_of(L"\r\n"));
}

constexpr wchar_t kStartedAgain[] =
    L"Started again: Wine ended the start inside its own start-up (ERROR_INTERNAL_ERROR)\n";

// To the nearest second: a screen told every 10 s since the last line shows 10 s, not 9 s.
std::wstring WholeSeconds(Clock::duration time) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(time).count();
    return std::to_wstring((ms + 500) / 1000) + L" s";
}

// A screen of the report as FormatReport has it: its number, what it is, what was done, its
// rows and its picture.
std::wstring FormatScreen(const DriveReport& report, std::size_t i) {
    const SeenScreen& s = report.screens[i];
    std::wstring out = std::to_wstring(i + 1) + L". " + Describe(s.key);
    const std::wstring words = FirstLine(s.text.empty() ? s.caption : s.text);
    if (!words.empty()) {
        out += L": \"" + words + L"\"";
    }
    if (!s.action.empty()) {
        out += L" - " + s.action;
    }
    out += L"\n";
    for (const std::wstring& row : s.rows) {
        out += L"     row: " + row + L"\n";
    }
    if (!s.picture.empty()) {
        out += L"     picture: " + std::filesystem::path(s.picture).filename().wstring() + L"\n";
    }
    return out;
}

std::wstring ButtonName(HWND window, int id) {
    switch (id) {
    case kCloseWindow:
        return L"Close";
    case IDOK:
        return L"OK";
    case IDCANCEL:
        return L"Cancel";
    default:
        break;
    }
    std::wstring text = WindowText(::GetDlgItem(window, id));
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    return (text.empty() ? L"" : L"\"" + text + L"\" ") + L"(" + std::to_wstring(id) + L")";
}

// OK when the window has it, else the button Enter presses, else its first button; 0: none.
int DefaultButton(HWND window) {
    if (HWND ok = ::GetDlgItem(window, IDOK); ok != nullptr && ::IsWindowVisible(ok)) {
        return IDOK;
    }
    DWORD_PTR answer = 0;
    if (::SendMessageTimeoutW(window, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 3000, &answer) &&
        HIWORD(answer) == DC_HASDEFID) {
        return LOWORD(answer);
    }
    const std::vector<int> buttons = ReadMessageBox(window).buttons;
    return buttons.empty() ? 0 : buttons.front();
}

bool SendText(HWND control, const std::wstring& text) {
    DWORD_PTR result = 0;
    return control != nullptr &&
           ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                 SMTO_ABORTIFHUNG, 3000, &result) != 0;
}

// The list's row of the printer of that model ("<model> | <serial>"), or -1.
int RowOfModel(const std::vector<std::wstring>& rows, const std::wstring& model) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] == model || rows[i].rfind(model + L" | ", 0) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::wstring Joined(const std::vector<std::wstring>& texts) {
    std::wstring out;
    for (const std::wstring& text : texts) {
        out += (out.empty() ? L"\"" : L", \"") + text + L"\"";
    }
    return out.empty() ? L"none" : out;
}

std::wstring LanguageOf(const DriveOptions& options) {
    if (!options.language.empty()) {
        return options.language;
    }
    // The installer names the language on its command line.
    if (options.args.size() >= 5 && options.args[0] == L"-Preply") {
        return options.args[4];
    }
    return qelinfo::GetLanguageCode(L"");
}

class Run {
public:
    Run(const DriveOptions& options, DriveReport& report)
        : options_(options), report_(report), identity_(LanguageOf(options)),
          used_(options.answers.size(), false) {}

    // Answers the program's screens until it ends or the run fails; each screen is told once it
    // is passed, the ones still there at the end then.
    void Watch(const ChildProcess& child, ProcessFamily& family) {
        WatchUntilTheEnd(child, family);
        for (Tracked& t : tracked_) {
            TellScreen(t);
        }
    }

    void Tell(const std::wstring& lines) {
        if (options_.progress) {
            options_.progress(lines);
        }
        lastTold_ = Clock::now();
    }

private:
    void WatchUntilTheEnd(const ChildProcess& child, ProcessFamily& family) {
        const auto start = Clock::now();
        auto lastFamilyLook = Clock::time_point{};
        while (child.IsRunning() && report_.failure.empty()) {
            const auto now = Clock::now();
            if (now - start > options_.runBound) {
                Fail(L"the run took longer than " + WholeSeconds(options_.runBound));
                return;
            }
            if (now - lastFamilyLook > 250ms) {
                family.Refresh();
                lastFamilyLook = now;
            }
            // Bottom first: of two windows that showed between two looks, the owner came first.
            const std::vector<HWND> windows = VisibleTopLevelWindows(child.Id());
            for (Tracked& t : tracked_) {
                // A screen hidden a while starts its time in front again when it shows.
                if (std::find(windows.begin(), windows.end(), t.window) == windows.end()) {
                    t.inFront = false;
                    t.answered = false;
                    if (!::IsWindow(t.window)) {
                        TellScreen(t);
                    }
                }
            }
            for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
                Step(Track(*window), now);
                if (!report_.failure.empty()) {
                    return;
                }
            }
            if (now - lastTold_ >= options_.progressEvery) {
                TellStill(windows, now - start);
            }
            std::this_thread::sleep_for(kPoll);
        }
    }

    // The screen's lines, once.
    void TellScreen(Tracked& t) {
        if (!t.told) {
            t.told = true;
            Tell(FormatScreen(report_, t.screen));
        }
    }

    // The screen in front (the top one enabled) and how long it has been up, or that none is.
    void TellStill(const std::vector<HWND>& windows, Clock::duration running) {
        for (const HWND window : windows) {
            for (const Tracked& t : tracked_) {
                if (t.window == window && t.inFront) {
                    Tell(L"   still on " + Describe(report_.screens[t.screen].key) + L": " +
                         WholeSeconds(Clock::now() - t.shownAt) + L"\n");
                    return;
                }
            }
        }
        Tell(L"   still running with no screen up: " + WholeSeconds(running) + L" into the run\n");
    }

    Tracked& Track(HWND window) {
        for (Tracked& t : tracked_) {
            if (t.window == window) {
                // A window seen too early to tell is told again.
                SeenScreen& seen = report_.screens[t.screen];
                if (seen.key.id == 0) {
                    seen.key = identity_.Identify(window);
                }
                return t;
            }
        }
        SeenScreen seen;
        seen.key = identity_.Identify(window);
        if (seen.key.kind == ScreenKind::Box) {
            const MessageBoxContent content = ReadMessageBox(window);
            seen.caption = content.caption;
            seen.text = content.text;
        } else {
            seen.caption = WindowText(window);
        }
        report_.screens.push_back(std::move(seen));
        Tracked tracked;
        tracked.window = window;
        tracked.shownAt = Clock::now();
        tracked.screen = report_.screens.size() - 1;
        tracked.answeredUpTo = report_.screens.size();
        tracked_.push_back(tracked);
        const AnswerRow* row = Find(report_.screens.back().key);
        // Screens answered by a press are pictured just before it, in the state they are
        // answered in; the others as they show.
        if (row == nullptr || row->answer.press == 0) {
            Picture(tracked_.back());
        }
        return tracked_.back();
    }

    const AnswerRow* Find(const ScreenKey& key) const {
        for (std::size_t i = 0; i < options_.answers.size(); ++i) {
            const AnswerRow& row = options_.answers[i];
            if (row.screen == key && (row.everyTime || !used_[i])) {
                return &row;
            }
        }
        if (key.kind == ScreenKind::Box && options_.answerOtherBoxesWithOk) {
            return &kOkRow;
        }
        return nullptr;
    }

    void Use(const AnswerRow* row) {
        if (row >= options_.answers.data() &&
            row < options_.answers.data() + options_.answers.size()) {
            used_[static_cast<std::size_t>(row - options_.answers.data())] = true;
        }
    }

    void Step(Tracked& t, Clock::time_point now) {
        SeenScreen& seen = report_.screens[t.screen];
        if (!::IsWindowEnabled(t.window)) {
            t.inFront = false;
            t.answered = false;
            return;
        }
        if (!t.inFront) {
            t.inFront = true;
            t.frontSince = now;
        }
        const AnswerRow* row = t.answered ? nullptr : Find(seen.key);
        if (row != nullptr && row->answer.press == 0 && seen.action.empty()) {
            seen.action = L"waited";
        }
        // A person answers a screen that has stayed a moment: between two screens shown one
        // after the other (the agreement, then the progress) their owner is enabled briefly.
        const bool settled = now - t.frontSince >= options_.settle;
        if (row != nullptr && row->answer.press != 0 && settled && Respond(t, row->answer)) {
            Use(row);
            t.answered = true;
            t.frontSince = Clock::now();
            return;
        }
        if (!report_.failure.empty()) {
            return;
        }
        const auto patience = row != nullptr && row->answer.patience.count() > 0
                                  ? row->answer.patience
                                  : options_.stayBound;
        if (now - t.frontSince > patience) {
            if (seen.picture.empty()) {
                Picture(t);
            }
            const std::wstring why = t.answered ? L" after its answer"
                                     : row != nullptr
                                         ? L" without its answer taking"
                                         : L" with no answer: " + NoAnswerWhy(seen.key);
            Fail(Describe(seen.key) + L" stayed " + WholeSeconds(patience) + why);
        }
    }

    std::wstring NoAnswerWhy(const ScreenKey& key) const {
        for (const NoAnswer& no : options_.noAnswers) {
            if (no.screen == key) {
                return no.why;
            }
        }
        return L"the driver has none for it";
    }

    // A box the driver answered showed after the screen did, or after its last answer.
    bool BoxAnsweredSince(const Tracked& t) const {
        for (std::size_t i = t.answeredUpTo; i < report_.screens.size(); ++i) {
            const SeenScreen& s = report_.screens[i];
            if (s.key.kind == ScreenKind::Box && s.action.rfind(L"pressed", 0) == 0) {
                return true;
            }
        }
        return false;
    }

    // Presses the answer's button once the screen is ready for it; false while it is not.
    bool Respond(Tracked& t, const Answer& answer) {
        SeenScreen& seen = report_.screens[t.screen];
        if (answer.afterBox && !BoxAnsweredSince(t)) {
            return false;
        }
        int press = answer.press == kDefaultButton ? DefaultButton(t.window) : answer.press;
        HWND list = ::GetDlgItem(t.window, IDC_PRINTER_LIST);
        const int rowCount = answer.selectRow >= 0 ? ListRowCount(list) : 0;
        int row = answer.selectRow;
        if (!answer.selectModel.empty() && rowCount > 0) {
            // The list is filled at once when its search ends: a model missing now never comes.
            const std::vector<std::wstring> rows = ReadListRows(list);
            if (rows.empty()) {
                return false; // not read this time
            }
            row = RowOfModel(rows, answer.selectModel);
            if (row < 0) {
                Picture(t);
                Fail(Describe(seen.key) + L" offers no printer of model \"" + answer.selectModel +
                     L"\" (its rows: " + Joined(rows) + L")");
                return false;
            }
        }
        if (row >= 0 && rowCount <= row && answer.whenNoRow != 0 && BoxAnsweredSince(t)) {
            press = answer.whenNoRow;
        } else if (row >= 0) {
            if (rowCount <= row) {
                return false;
            }
            if (SelectedListRow(list) != row) {
                // The dialog enables its buttons from the selection: press at the next look.
                SelectListRow(list, row);
                return false;
            }
            seen.rows = ReadListRows(list);
        }
        if (press > 0) {
            HWND button = ::GetDlgItem(t.window, press);
            if (button == nullptr || !::IsWindowVisible(button) || !::IsWindowEnabled(button)) {
                return false;
            }
        }
        for (const auto& [id, text] : answer.choose) {
            HWND combo = ::GetDlgItem(t.window, id);
            const std::vector<std::wstring> entries = ComboEntries(combo);
            const auto entry = std::find(entries.begin(), entries.end(), text);
            if (entry == entries.end() ||
                !ChooseComboEntry(combo, static_cast<int>(entry - entries.begin()))) {
                Picture(t);
                Fail(Describe(seen.key) + L" offers no \"" + text + L"\" to choose (it offers " +
                     Joined(entries) + L")");
                return false;
            }
        }
        for (const auto& [id, text] : answer.type) {
            SendText(::GetDlgItem(t.window, id), text);
        }
        Picture(t);
        // A screen answered again (the list after its registration) keeps its earlier answers.
        std::wstring action = L"pressed " + ButtonName(t.window, press);
        if (row >= 0 && static_cast<std::size_t>(row) < seen.rows.size()) {
            action += L" on \"" + seen.rows[static_cast<std::size_t>(row)] + L"\"";
        }
        const bool again = seen.action.rfind(L"pressed", 0) == 0;
        seen.action = again ? seen.action + L", then " + action : action;
        if (t.told) {
            Tell(std::to_wstring(t.screen + 1) + L". " + Describe(seen.key) + L" - then " + action +
                 L"\n");
        } else {
            TellScreen(t);
        }
        if (press == kCloseWindow) {
            ::PostMessageW(t.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            PressButton(t.window, press);
        }
        t.answeredUpTo = report_.screens.size();
        return true;
    }

    void Picture(const Tracked& t) {
        SeenScreen& seen = report_.screens[t.screen];
        wchar_t number[8] = {};
        std::swprintf(number, 8, L"%02zu", t.screen + 1);
        const std::wstring name = options_.picturePrefix + number + L"-" + Slug(seen.key) + L".bmp";
        const std::wstring path = report_.pictureFolder.empty()
                                      ? ArtifactPath(name)
                                      : qelwin::JoinPath(report_.pictureFolder, name);
        if (SaveWindowScreenshot(t.window, path)) {
            seen.picture = path;
        }
    }

    void Fail(const std::wstring& why) {
        if (report_.failure.empty()) {
            report_.failure = why;
        }
    }

    static const AnswerRow kOkRow;

    const DriveOptions& options_;
    DriveReport& report_;
    ScreenIdentity identity_;
    std::vector<bool> used_;
    std::vector<Tracked> tracked_;
    Clock::time_point lastTold_ = Clock::now();
};

const AnswerRow Run::kOkRow{Box(0), Press(kDefaultButton)};

// Waits for what the program started to end by itself; ends and names what did not.
std::vector<std::wstring> EndTheRest(ProcessFamily& family) {
    family.Refresh();
    const auto deadline = Clock::now() + kFamilyWait;
    auto running = family.Running();
    while (!running.empty() && Clock::now() < deadline) {
        std::this_thread::sleep_for(kPoll);
        running = family.Running();
    }
    std::vector<std::wstring> left;
    for (const auto& [id, name] : running) {
        const qelwin::unique_handle process(::OpenProcess(PROCESS_TERMINATE, FALSE, id));
        if (process) {
            ::TerminateProcess(process.get(), kEndedByDriver);
        }
        left.push_back(name + L" (" + std::to_wstring(id) + L")");
    }
    return left;
}

} // namespace

AnswerTable SetupRoadAnswers(const std::wstring& model) {
    // The registration and the search keep their fixed waits while their progress shows: the
    // search for a USB printer just put on Wi-Fi takes over a minute.
    constexpr auto kProgressPatience = std::chrono::milliseconds(180s);
    return {
        {Box(qelui::text::kSetupInformation), Press(IDOK)},
        {Dialog(IDD_SEARCH_PROGRESS), GoesByItself(kProgressPatience), true},
        {Dialog(IDD_PRINTER_LIST),
         model.empty() ? PressOnRow(IDC_LIST_REGISTER, 0) : PressOnModel(IDC_LIST_REGISTER, model)},
        {Dialog(IDD_AGREEMENT), Press(IDC_AGREE)},
        {Dialog(IDD_STATUS_PROGRESS), GoesByItself(kProgressPatience), true},
    };
}

AnswerTable WifiAnswers(const std::wstring& network, const std::wstring& key) {
    Answer named = Press(IDC_SSID_OK);
    named.choose = {{IDC_SSID_NAME, network}};
    named.type = {{IDC_SSID_KEY, key}};
    return {{Dialog(IDD_WIFI_CONFIRM), Press(IDC_WIFI_OK)}, {Dialog(IDD_SSID), named}};
}

void AnswerAsTheRunCommand(const std::wstring& model, DriveOptions& options) {
    options.answers = SetupRoadAnswers(model);
    for (AnswerRow& row : options.answers) {
        if (row.screen == Dialog(IDD_PRINTER_LIST)) {
            // A search that found nothing told so in a box: the user leaves the list.
            row.answer.whenNoRow = kCloseWindow;
        }
    }
    // The installer's starts show the invitation screen instead of the list: Register there.
    options.answers.push_back({Dialog(IDD_INVITATION), Press(IDC_INVITATION_REGISTER)});
    // Back on the list after a box told how the registration ended: the user leaves it.
    Answer leave = Press(kCloseWindow);
    leave.afterBox = true;
    options.answers.push_back({Dialog(IDD_PRINTER_LIST), leave});
    options.answerOtherBoxesWithOk = true;
    std::wstring why;
    if (const auto wifi = WifiOfWorld(options.worldFile, model, &why)) {
        const AnswerTable rows = WifiAnswers(wifi->network, wifi->key);
        options.answers.insert(options.answers.end(), rows.begin(), rows.end());
        options.noAnswers.push_back(
            {Dialog(IDD_CONNECT_FAILED),
             L"the printer did not join \"" + wifi->network +
                 L"\" with the key that the world gives; which network to try then is a "
                 L"person's choice"});
    } else {
        options.noAnswers.push_back({Dialog(IDD_SSID), why});
    }
}

std::vector<ScreenKey> DriveReport::Road() const {
    std::vector<ScreenKey> road;
    for (const SeenScreen& s : screens) {
        road.push_back(s.key);
    }
    return road;
}

bool DriveReport::Passed() const {
    return started && failure.empty() && exitCode == 0u && leftBehind.empty();
}

DriveReport DriveProgram(const DriveOptions& options) {
    DriveReport report;
    report.pictureFolder = options.pictureFolder;
    if (report.pictureFolder.empty()) {
        report.pictureFolder = std::filesystem::path(ArtifactPath(L"x")).parent_path().wstring();
    }
    std::error_code ignored;
    std::filesystem::create_directories(report.pictureFolder, ignored);

    const std::wstring program = options.program.empty()
                                     ? qelwin::JoinPath(qelwin::ThisModuleFolder(), kProgramName)
                                     : options.program;
    const PageRecorder recorder;
    if (!recorder.Registered()) {
        report.failure = L"qelpagerec.exe could not be registered as the browser";
        return report;
    }
    const ScopedVariable proxy(L"http_proxy", options.proxy);
    const ScopedVariable world(L"QEL_WORLD_FILE", options.worldFile);

    // Wine starts its desktop process for the first program of a session that asks for the
    // desktop: let that be the driver, so the desktop is never taken for a process the program
    // left behind.
    ::GetDesktopWindow();
    Run run(options, report);
    ChildProcess child(program, options.args, options.runBound + kChildLifetimeMargin);
    report.started = child.Started();
    report.startRetries = child.StartRetries();
    for (int i = 0; i < report.startRetries; ++i) {
        run.Tell(kStartedAgain);
    }
    if (!report.started) {
        report.failure = L"the program did not start (" + std::to_wstring(::GetLastError()) + L")";
        return report;
    }
    ProcessFamily family(child.Id());
    run.Watch(child, family);
    if (!report.failure.empty() && child.IsRunning()) {
        ::TerminateProcess(child.Handle(), kEndedByDriver);
        child.WaitForExit(kExitWait);
    } else {
        report.exitCode = child.WaitForExit(kExitWait);
        if (child.KilledByWatchdog()) {
            report.exitCode.reset();
            report.failure = L"the program outlived its time";
        }
    }
    report.leftBehind = EndTheRest(family);
    // A browser that the program asked for is started before the program goes on, but may not
    // be listed among its processes: every browser started during the run is waited for, and
    // then the pages the run is known to open.
    report.pages = recorder.WaitForRecorders(kBrowserWait);
    if (report.pages.size() < options.pagesExpected) {
        report.pages = recorder.WaitForPages(options.pagesExpected);
    }
    report.unrecordedPages = recorder.Unrecorded();
    return report;
}

std::wstring FormatReport(const DriveReport& report) {
    std::wstring out;
    for (int i = 0; i < report.startRetries; ++i) {
        out += kStartedAgain;
    }
    for (std::size_t i = 0; i < report.screens.size(); ++i) {
        out += FormatScreen(report, i);
    }
    return out + FormatEnding(report);
}

std::wstring FormatEnding(const DriveReport& report) {
    std::wstring out;
    for (const std::wstring& page : report.pages) {
        out += L"Page opened: " + page + L"\n";
    }
    if (report.pages.empty()) {
        out += L"No page opened.\n";
    }
    for (const std::wstring& page : report.unrecordedPages) {
        out += L"Page asked for but not recorded: " + page + L"\n";
    }
    out += L"Pictures: " + report.pictureFolder + L"\n";
    for (const std::wstring& left : report.leftBehind) {
        out += L"Left running (ended by the driver): " + left + L"\n";
    }
    if (!report.failure.empty()) {
        out += L"The driver could not go on: " + report.failure + L"\n";
    }
    out += L"Exit code: " +
           (report.exitCode ? std::to_wstring(*report.exitCode)
                            : std::wstring(L"none (the program was ended)")) +
           L"\n";
    return out;
}

} // namespace qeltest
