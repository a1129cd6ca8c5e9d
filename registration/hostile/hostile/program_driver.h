// Runs the real program in its own process and answers its screens as a user who registers
// the first printer would: OK on the start box, Register on the printer list (once), Agree on the
// agreement, the default answer on every box, Cancel on the Wi-Fi screens, and the list closed
// once the registration has ended. A watchdog ends a program that outlives its time.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qelhostile {

struct DriveResult {
    bool started = false;
    std::optional<DWORD> exitCode; // nothing: the watchdog ended the program
    std::vector<int> boxes;        // text numbers of the boxes it showed (0: a text of no number)
    std::vector<std::wstring> unknownWindows; // "<class> <caption>" of windows of no known screen
    bool registerPressed = false;
};

class ProgramDriver {
public:
    // boxTexts: the text of each box number the program may show, as the program shows it.
    ProgramDriver(std::wstring program, std::map<int, std::wstring> boxTexts,
                  std::chrono::milliseconds watchdog);

    // Runs the program with the arguments; onRegister runs just before Register is pressed.
    DriveResult Run(const std::vector<std::wstring>& args, const std::function<void()>& onRegister);

private:
    int BoxNumber(const std::wstring& text) const;

    std::wstring program_;
    std::map<int, std::wstring> boxTexts_;
    std::chrono::milliseconds watchdog_;
};

} // namespace qelhostile
