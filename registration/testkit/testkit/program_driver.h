// Drives the real QelRegistration.exe from another process, as a user would: starts it, tells
// its screens apart, answers each from a table, saves a picture of each and records the road it
// took, the pages it opened and how it ended. A watchdog ends a run that stalls.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "testkit/screen_identity.h"

namespace qeltest {

// Press: ask the window to close as its system menu's Close does.
inline constexpr int kCloseWindow = -1;
// Press: OK when the screen has it, else the button that Enter presses.
inline constexpr int kDefaultButton = -2;

struct Answer {
    // The control to press (IDOK, a button id, kCloseWindow, kDefaultButton); 0 presses
    // nothing: the screen goes by itself (a progress dialog).
    int press = 0;
    // Texts put into edit controls (control id, text) before pressing.
    std::vector<std::pair<int, std::wstring>> type;
    // For the printer list: wait until it has rows, then select this row (when none is
    // selected) before pressing. -1: press without looking at the list.
    int selectRow = -1;
    // How long the screen may stay in front before the run fails; zero: the run's stay bound.
    std::chrono::milliseconds patience{0};
    // Given only once a box has been answered over the screen since it showed or was last
    // answered (the program told how something ended): a user who closes the list after being
    // told, not while the program is still on its way.
    bool afterBox = false;
    // For selectRow: pressed instead when the list has no such row and a box has been answered
    // over it (the search told that it found nothing); 0: wait for the row.
    int whenNoRow = 0;
    // For the printer list: the row of the printer of this model instead of selectRow's; a list
    // with rows but none of that model ends the run.
    std::wstring selectModel;
    // Combo boxes: the entry of this text chosen before pressing (control id, text); a combo box
    // without it ends the run.
    std::vector<std::pair<int, std::wstring>> choose;
};

inline Answer Press(int control) {
    Answer answer;
    answer.press = control;
    return answer;
}
// Presses once the printer list has that row, selected.
inline Answer PressOnRow(int control, int row) {
    Answer answer = Press(control);
    answer.selectRow = row;
    return answer;
}
// Presses once the printer list has the row of the printer of that model, selected.
inline Answer PressOnModel(int control, std::wstring model) {
    Answer answer = PressOnRow(control, 0);
    answer.selectModel = std::move(model);
    return answer;
}
inline Answer GoesByItself(std::chrono::milliseconds patience) {
    Answer answer;
    answer.patience = patience;
    return answer;
}

// Answers a screen. Each row is used once, in order among the rows of its screen, unless it
// answers every time; a screen in front with no row left stays unanswered.
struct AnswerRow {
    ScreenKey screen;
    Answer answer;
    bool everyTime = false;
};
using AnswerTable = std::vector<AnswerRow>;

// The "-Setup" road: OK on box 11008, the search and status progress go by themselves, the
// list's first row (or the row of that model) registered once the list has rows, Agree on the
// agreement.
AnswerTable SetupRoadAnswers(const std::wstring& model = L"");

// The Wi-Fi screens of a USB printer without Internet access: the confirmation of the PC's
// network with OK, the network-name dialog with that network and key.
AnswerTable WifiAnswers(const std::wstring& network, const std::wstring& key);

struct DriveOptions;
// The answers of the run command (qeldrive.exe): the "-Setup" road to the printer of that model
// (empty: the first row), Register on the installer's invitation screen, every other box OK, the
// list left once a box told how its search or registration ended, and a USB printer's Wi-Fi
// screens answered with the network and key that the world (options.worldFile, else the one the
// program finds) gives that printer. Screens it cannot answer are named with why.
void AnswerAsTheRunCommand(const std::wstring& model, DriveOptions& options);

// Why a screen has no answer (told when it stays unanswered), beside the screen.
struct NoAnswer {
    ScreenKey screen;
    std::wstring why;
};

struct DriveOptions {
    std::wstring program; // empty: QelRegistration.exe beside this program
    std::vector<std::wstring> args;
    AnswerTable answers = SetupRoadAnswers();
    // How many pages the run opens, when the caller knows: they are waited for after the
    // program ended (30 s at most), as the browser starts on its own. Browsers started during
    // the run are waited for in any case (the same bound), for as long as they run.
    std::size_t pagesExpected = 0;
    // Boxes that no row answers get OK, or the default button of a box without OK (the starts
    // whose screens the table does not know).
    bool answerOtherBoxesWithOk = false;
    // Where the pictures go (made when missing; empty: ArtifactPath's folder), and the start of
    // their file names: "<prefix>NN-<screen>.bmp".
    std::wstring pictureFolder;
    std::wstring picturePrefix;
    // The http proxy of the program ("http://127.0.0.1:<port>": the simulated cloud serves the
    // program's fixed service addresses as a proxy); empty: as this process has it.
    std::wstring proxy;
    // QEL_WORLD_FILE of the program; empty: as this process has it.
    std::wstring worldFile;
    // The texts that boxes are read in; empty: the installer's language, as the program does.
    std::wstring language;
    // A screen in front that long with nothing done, or the whole run over its bound, ends the
    // program and fails the run.
    std::chrono::milliseconds stayBound{std::chrono::seconds(10)};
    std::chrono::milliseconds runBound{std::chrono::seconds(300)};
    // How long a screen stays in front before it is answered, as a person's look at it: between
    // two screens shown one after the other their owner is enabled briefly.
    std::chrono::milliseconds settle{std::chrono::milliseconds(500)};
    // Why screens that the table leaves unanswered have no answer, for the report.
    std::vector<NoAnswer> noAnswers;
    // Lines for people while the run goes (qeldrive.exe prints them at once): a start tried
    // again, each screen once it is passed (answered, gone, or left when the run ends) as
    // FormatReport has it, and, while nothing was told for progressEvery, a line naming the
    // screen in front and how long it has been up.
    std::function<void(const std::wstring&)> progress;
    std::chrono::milliseconds progressEvery{std::chrono::seconds(10)};
};

struct SeenScreen {
    ScreenKey key;
    std::wstring caption;
    std::wstring text;              // a box's message
    std::vector<std::wstring> rows; // a list's rows, when it was answered
    std::wstring picture;           // the saved picture; empty when none was saved
    std::wstring action;            // what the driver did: "pressed 1026", "waited", ""
};

struct DriveReport {
    bool started = false;
    std::vector<SeenScreen> screens; // each window once, in the order they showed
    std::vector<std::wstring> pages; // the pages the program opened, in order
    // pages that a browser was asked for and could not record, with why
    std::vector<std::wstring> unrecordedPages;
    std::optional<DWORD> exitCode; // nothing when the driver had to end the program
    std::wstring failure;          // why the driver ended the run; empty when it went through
    // Processes of the run still there once the program had ended (the driver ended them).
    std::vector<std::wstring> leftBehind;
    std::wstring pictureFolder;
    // Starts that Wine ended inside its own start-up, before any of the program ran: tried again.
    int startRetries = 0;

    std::vector<ScreenKey> Road() const;
    // Went through: no failure, exit code 0, nothing left behind.
    bool Passed() const;
};

// Starts the program with the options, answers its screens until it ends and reports. The
// pages are recorded by qelpagerec.exe, registered as the browser of this prefix for the run.
DriveReport DriveProgram(const DriveOptions& options);

// The report as lines for people: the starts tried again, each screen, the pages, the pictures'
// folder, the ending.
std::wstring FormatReport(const DriveReport& report);
// Its lines after the screens (the pages, the pictures' folder, the ending), for a caller that
// told the rest through DriveOptions::progress.
std::wstring FormatEnding(const DriveReport& report);

} // namespace qeltest
