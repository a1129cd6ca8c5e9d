// Drives the modal dialogs and message boxes that the test's own thread shows. A thread timer
// runs inside whatever modal loop the code under test is in; at each tick the robot looks at
// the active dialog and runs the next scripted step on it once the step's dialog is there.
// Steps read the dialog (caption, control texts and states, layout, fonts), save pictures of it
// and queue input (clicks, keys, typing), which the dialog receives after the step returns.
// A watchdog ends every dialog of the thread that stays open a few seconds without the robot
// acting on it, and fails the test, so no test hangs on a dialog. One robot per thread at a
// time; make it before the code that shows the dialogs.
#pragma once

#include <windows.h>

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qeltest {

// One dialog or message box of the test's thread.
class DialogView {
public:
    explicit DialogView(HWND dialog) noexcept : dialog_(dialog) {}

    HWND Handle() const noexcept { return dialog_; }
    std::wstring Caption() const;

    // Standard message boxes hold their text in the static control 0xFFFF.
    bool IsMessageBox() const noexcept;
    std::wstring MessageText() const;

    bool Has(int id) const noexcept { return Item(id) != nullptr; }
    std::wstring Text(int id) const;
    std::wstring ClassName(int id) const;
    bool Enabled(int id) const noexcept;
    bool Visible(int id) const noexcept;
    bool Checked(int id) const noexcept;
    bool Focused(int id) const noexcept;
    LONG_PTR Style(int id) const noexcept;
    LONG_PTR DialogStyle() const noexcept;
    // A template's WS_BORDER becomes WS_EX_CLIENTEDGE in a dialog of today's look: any of
    // WS_BORDER, WS_EX_CLIENTEDGE and WS_EX_STATICEDGE counts.
    bool HasBorder(int id) const noexcept;
    // In pixels, relative to the dialog's client area.
    RECT Rect(int id) const noexcept;
    SIZE ClientSize() const noexcept;
    // Where the dialog manager puts a control that its template places at (x, y) with size
    // (cx, cy) in dialog units: pixels in the client area, as Rect gives them.
    RECT FromDialogUnits(int x, int y, int cx, int cy) const noexcept;
    // The font the control draws with (all zero for the system font).
    LOGFONTW Font(int id) const noexcept;
    HWND Owner() const noexcept { return ::GetWindow(dialog_, GW_OWNER); }

    // Queued input. Click presses a button as the mouse does (BM_CLICK); it fails the test for a
    // control that is missing, hidden or disabled, which a user could not click either.
    void Click(int id) const;
    // A key pressed and released on the focused control (or the dialog).
    void Key(UINT virtualKey) const;
    // A key pressed with Alt held, on the dialog: AltKey(VK_F4) is the user's close request.
    void AltKey(UINT virtualKey) const;
    // The text typed into the control, character by character.
    void Type(int id, const std::wstring& text) const;
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // A picture of the dialog as shown, saved as <QEL_TEST_ARTIFACTS>/<fileName>.
    bool Screenshot(const std::wstring& fileName) const;

private:
    HWND Item(int id) const noexcept { return ::GetDlgItem(dialog_, id); }

    HWND dialog_;
};

class DialogRobot {
public:
    using Action = std::function<void(DialogView&)>;
    using Match = std::function<bool(const DialogView&)>;

    struct Options {
        std::chrono::milliseconds tick{50};
        // How long a dialog may stay open with the robot doing nothing on it.
        std::chrono::milliseconds watchdog{5000};
    };

    struct Sighting {
        HWND dialog;
        std::wstring caption; // as first seen
    };

    DialogRobot() : DialogRobot(Options{}) {}
    explicit DialogRobot(Options options);
    // Stops the timer; a step that never ran fails the test.
    ~DialogRobot();
    DialogRobot(const DialogRobot&) = delete;
    DialogRobot& operator=(const DialogRobot&) = delete;

    // The next step runs on the next active dialog.
    DialogRobot& Then(std::string what, Action action);
    // The next step waits for an active dialog that has that control (other dialogs, a progress
    // dialog say, come and go meanwhile).
    DialogRobot& ThenOn(int controlId, std::string what, Action action);
    DialogRobot& ThenOnMessageBox(std::string what, Action action);
    DialogRobot& ThenWhen(Match match, std::string what, Action action);

    // Steps that ask the dialog with that control to close in every way a user can: Escape,
    // Alt+F4, WM_CLOSE, SC_CLOSE and IDCANCEL, each after checking that the dialog is still the
    // one an earlier step kept in dialog. A later step then sees whether it stayed open.
    DialogRobot& ThenEveryCloseRequest(int controlId, const HWND& dialog);

    std::size_t StepsLeft() const noexcept { return steps_.size(); }
    bool WatchdogFired() const noexcept { return fired_; }

    // Every dialog the robot saw, in the order it first saw them.
    const std::vector<Sighting>& Seen() const noexcept { return seen_; }

private:
    struct Step {
        Match match;
        std::string what;
        Action action;
    };

    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) noexcept;
    void Tick();
    void Watchdog(HWND active);

    Options options_;
    UINT_PTR timer_ = 0;
    std::deque<Step> steps_;
    std::vector<Sighting> seen_;
    HWND lastActive_ = nullptr;
    std::chrono::steady_clock::time_point lastProgress_;
    bool fired_ = false;
    bool busy_ = false;
};

// The visible dialogs and message boxes of the calling thread, topmost first.
std::vector<HWND> ThreadDialogs();

// The one that takes input now: the active window when it is one of them, else the topmost
// enabled one; null when none shows.
HWND ActiveThreadDialog();

} // namespace qeltest
