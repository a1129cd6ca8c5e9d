#include "testkit/dialog_robot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <sstream>

#include "testkit/screenshot.h"
#include "testkit/windows.h"

namespace qeltest {

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

thread_local DialogRobot* t_robot = nullptr;

LPARAM KeyParam(UINT virtualKey, bool up, bool alt) noexcept {
    const UINT scanCode = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    LPARAM value = 1 | (static_cast<LPARAM>(scanCode) << 16);
    if (alt) {
        value |= LPARAM{1} << 29;
    }
    if (up) {
        value |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
    }
    return value;
}

} // namespace

std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> found;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            if (::IsWindowVisible(window) && WindowClass(window) == L"#32770") {
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND ActiveThreadDialog() {
    const std::vector<HWND> dialogs = ThreadDialogs();
    HWND active = ::GetActiveWindow();
    if (std::find(dialogs.begin(), dialogs.end(), active) != dialogs.end() &&
        ::IsWindowEnabled(active)) {
        return active;
    }
    for (HWND dialog : dialogs) {
        if (::IsWindowEnabled(dialog)) {
            return dialog;
        }
    }
    return nullptr;
}

std::wstring DialogView::Caption() const {
    return WindowText(dialog_);
}

bool DialogView::IsMessageBox() const noexcept {
    return Item(kMessageBoxTextId) != nullptr;
}

std::wstring DialogView::MessageText() const {
    return Text(kMessageBoxTextId);
}

std::wstring DialogView::Text(int id) const {
    HWND item = Item(id);
    return item != nullptr ? WindowText(item) : std::wstring();
}

std::wstring DialogView::ClassName(int id) const {
    HWND item = Item(id);
    return item != nullptr ? WindowClass(item) : std::wstring();
}

bool DialogView::Enabled(int id) const noexcept {
    HWND item = Item(id);
    return item != nullptr && ::IsWindowEnabled(item);
}

bool DialogView::Visible(int id) const noexcept {
    HWND item = Item(id);
    return item != nullptr && ::IsWindowVisible(item);
}

bool DialogView::Checked(int id) const noexcept {
    return ::IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
}

bool DialogView::Focused(int id) const noexcept {
    HWND item = Item(id);
    return item != nullptr && ::GetFocus() == item;
}

LONG_PTR DialogView::Style(int id) const noexcept {
    HWND item = Item(id);
    return item != nullptr ? ::GetWindowLongPtrW(item, GWL_STYLE) : 0;
}

bool DialogView::HasBorder(int id) const noexcept {
    HWND item = Item(id);
    return item != nullptr &&
           ((::GetWindowLongPtrW(item, GWL_STYLE) & WS_BORDER) != 0 ||
            (::GetWindowLongPtrW(item, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) != 0);
}

LONG_PTR DialogView::DialogStyle() const noexcept {
    return ::GetWindowLongPtrW(dialog_, GWL_STYLE);
}

RECT DialogView::Rect(int id) const noexcept {
    RECT rect{};
    HWND item = Item(id);
    if (item != nullptr && ::GetWindowRect(item, &rect)) {
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

SIZE DialogView::ClientSize() const noexcept {
    RECT rect{};
    ::GetClientRect(dialog_, &rect);
    return {rect.right, rect.bottom};
}

RECT DialogView::FromDialogUnits(int x, int y, int cx, int cy) const noexcept {
    // Position and size convert apart, as the dialog manager converts them.
    RECT units{x, y, cx, cy};
    ::MapDialogRect(dialog_, &units);
    return {units.left, units.top, units.left + units.right, units.top + units.bottom};
}

LOGFONTW DialogView::Font(int id) const noexcept {
    LOGFONTW info{};
    HWND item = Item(id);
    const auto font =
        item != nullptr ? reinterpret_cast<HFONT>(::SendMessageW(item, WM_GETFONT, 0, 0)) : nullptr;
    if (font != nullptr) {
        ::GetObjectW(font, sizeof(info), &info);
    }
    return info;
}

void DialogView::Click(int id) const {
    HWND item = Item(id);
    if (item == nullptr || !::IsWindowVisible(item) || !::IsWindowEnabled(item)) {
        ADD_FAILURE() << "cannot click control " << id << " of '" << Utf8(Caption())
                      << "': it is missing, hidden or disabled";
        return;
    }
    // The button's own click: an automatic check box toggles, the button takes the focus and
    // tells the dialog, as with the mouse.
    ::PostMessageW(item, BM_CLICK, 0, 0);
}

void DialogView::Key(UINT virtualKey) const {
    HWND focus = ::GetFocus();
    HWND target =
        focus != nullptr && (focus == dialog_ || ::IsChild(dialog_, focus)) ? focus : dialog_;
    ::PostMessageW(target, WM_KEYDOWN, virtualKey, KeyParam(virtualKey, false, false));
    ::PostMessageW(target, WM_KEYUP, virtualKey, KeyParam(virtualKey, true, false));
}

void DialogView::AltKey(UINT virtualKey) const {
    ::PostMessageW(dialog_, WM_SYSKEYDOWN, virtualKey, KeyParam(virtualKey, false, true));
    ::PostMessageW(dialog_, WM_SYSKEYUP, virtualKey, KeyParam(virtualKey, true, true));
}

void DialogView::Type(int id, const std::wstring& text) const {
    HWND item = Item(id);
    if (item == nullptr) {
        ADD_FAILURE() << "cannot type into missing control " << id;
        return;
    }
    for (wchar_t c : text) {
        ::PostMessageW(item, WM_CHAR, c, 1);
    }
}

void DialogView::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
    ::PostMessageW(dialog_, message, wParam, lParam);
}

bool DialogView::Screenshot(const std::wstring& fileName) const {
    return SaveWindowScreenshot(dialog_, ArtifactPath(fileName));
}

DialogRobot::DialogRobot(Options options)
    : options_(options), lastProgress_(std::chrono::steady_clock::now()) {
    if (t_robot != nullptr) {
        ADD_FAILURE() << "a dialog robot already runs on this thread";
        return;
    }
    t_robot = this;
    timer_ = ::SetTimer(nullptr, 0, static_cast<UINT>(options_.tick.count()), &DialogRobot::OnTick);
    if (timer_ == 0) {
        ADD_FAILURE() << "the dialog robot's timer could not be set";
    }
}

DialogRobot::~DialogRobot() {
    if (timer_ != 0) {
        ::KillTimer(nullptr, timer_);
    }
    if (t_robot == this) {
        t_robot = nullptr;
    }
    for (const Step& step : steps_) {
        ADD_FAILURE() << "dialog robot: step '" << step.what << "' never ran";
    }
}

DialogRobot& DialogRobot::Then(std::string what, Action action) {
    return ThenWhen([](const DialogView&) { return true; }, std::move(what), std::move(action));
}

DialogRobot& DialogRobot::ThenOn(int controlId, std::string what, Action action) {
    return ThenWhen([controlId](const DialogView& view) { return view.Has(controlId); },
                    std::move(what), std::move(action));
}

DialogRobot& DialogRobot::ThenOnMessageBox(std::string what, Action action) {
    return ThenWhen([](const DialogView& view) { return view.IsMessageBox(); }, std::move(what),
                    std::move(action));
}

DialogRobot& DialogRobot::ThenWhen(Match match, std::string what, Action action) {
    steps_.push_back({std::move(match), std::move(what), std::move(action)});
    return *this;
}

DialogRobot& DialogRobot::ThenEveryCloseRequest(int controlId, const HWND& dialog) {
    using Request = void (*)(const DialogView&);
    const std::pair<const char*, Request> requests[] = {
        {"Escape", [](const DialogView& v) { v.Key(VK_ESCAPE); }},
        {"Alt+F4", [](const DialogView& v) { v.AltKey(VK_F4); }},
        {"WM_CLOSE", [](const DialogView& v) { v.Post(WM_CLOSE); }},
        {"SC_CLOSE", [](const DialogView& v) { v.Post(WM_SYSCOMMAND, SC_CLOSE); }},
        {"IDCANCEL", [](const DialogView& v) { v.Post(WM_COMMAND, IDCANCEL); }},
    };
    for (const auto& [name, request] : requests) {
        ThenOn(controlId, std::string("ask to close with ") + name,
               [&dialog, request = request](DialogView& v) {
                   EXPECT_EQ(v.Handle(), dialog) << "another dialog than the one kept";
                   request(v);
               });
    }
    return *this;
}

void CALLBACK DialogRobot::OnTick(HWND, UINT, UINT_PTR, DWORD) noexcept {
    // Called from inside the system's message dispatch: nothing may unwind out of here.
    try {
        if (t_robot != nullptr && !t_robot->busy_) {
            t_robot->busy_ = true;
            t_robot->Tick();
            t_robot->busy_ = false;
        }
    } catch (const std::exception& e) {
        t_robot->busy_ = false;
        ADD_FAILURE() << "dialog robot step raised: " << e.what();
    } catch (...) {
        t_robot->busy_ = false;
        ADD_FAILURE() << "dialog robot step raised an exception";
    }
}

void DialogRobot::Tick() {
    const auto now = std::chrono::steady_clock::now();
    HWND active = ActiveThreadDialog();
    if (active != lastActive_) {
        lastActive_ = active;
        lastProgress_ = now;
    }
    if (active == nullptr) {
        return;
    }
    if (std::none_of(seen_.begin(), seen_.end(),
                     [active](const Sighting& s) { return s.dialog == active; })) {
        seen_.push_back({active, WindowText(active)});
    }
    if (fired_) {
        Watchdog(active);
        return;
    }
    DialogView view(active);
    if (!steps_.empty() && steps_.front().match(view)) {
        Step step = std::move(steps_.front());
        steps_.pop_front();
        lastProgress_ = now;
        step.action(view);
        return;
    }
    if (now - lastProgress_ > options_.watchdog) {
        Watchdog(active);
    }
}

void DialogRobot::Watchdog(HWND active) {
    if (!fired_) {
        fired_ = true;
        std::ostringstream steps;
        for (const Step& step : steps_) {
            steps << " '" << step.what << "'";
        }
        ADD_FAILURE() << "dialog robot watchdog: '" << Utf8(WindowText(active))
                      << "' stayed open without a step for it; steps left:"
                      << (steps_.empty() ? " none" : steps.str());
        steps_.clear();
    }
    // Every dialog of the thread, so nested modal loops all end.
    for (HWND dialog : ThreadDialogs()) {
        ::EndDialog(dialog, 0);
    }
}

} // namespace qeltest
