// What a case must show: the program never crashes or hangs, ends with 0, keeps the page it had
// stored, shows only its own boxes and, for the failure it met, the box it gives for it.
#pragma once

#include <string>

#include "hostile/case_list.h"
#include "hostile/program_driver.h"

namespace qelhostile {

enum class FlowKind {
    Setup,     // "-Setup": the printer list; every failure is told in a box
    Installer, // the installer's "-REG": silent, whatever happens
    Launcher,  // the launcher's "-REG": a box for a retry later or a failure, none for a cancel
};

struct Outcome {
    DriveResult drive;
    bool pageOpened = false;
    bool regUrlKept = true;
    bool faultReached = true;
};

struct Verdict {
    std::string label;   // "registered", "box 11003", "no box", "not reached"
    std::string problem; // "" when the program behaved soundly
};

Verdict Judge(FlowKind flow, const Case& c, const Outcome& outcome);

} // namespace qelhostile
