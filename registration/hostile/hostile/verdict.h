// What a case must show: the program never crashes or hangs, ends with 0, keeps the page it had
// stored, shows only its own boxes and, for the failure it met, the box it gives for it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "hostile/case_list.h"
#include "testkit/program_driver.h"

namespace qelhostile {

enum class FlowKind {
    Setup,     // "-Setup": the printer list; every failure is told in a box
    Installer, // the installer's "-REG": its invitation screen tells a failure in a box, the
               // registration after it ends silently
    Launcher,  // the launcher's "-REG": a box for a retry later or a failure, none for a cancel
};

struct Outcome {
    bool started = false;
    std::optional<DWORD> exitCode; // nothing: the driver had to end the program
    std::wstring stalled;          // why the driver ended it
    std::vector<int> boxes;        // the text number of each box shown (0: a text of no number)
    std::vector<std::wstring> unknownWindows; // windows of no screen the program has
    std::vector<std::wstring> leftBehind;     // processes of the run that outlived it
    bool pageOpened = false;
    bool regUrlKept = true;
    bool faultReached = true;
};

// What the driver's report of a run tells of it.
Outcome ReadReport(const qeltest::DriveReport& report);

struct Verdict {
    std::string label;   // "registered", "box 11003", "no box", "not reached"
    std::string problem; // "" when the program behaved soundly and the case met its fault
};

Verdict Judge(FlowKind flow, const Case& c, const Outcome& outcome);

} // namespace qelhostile
