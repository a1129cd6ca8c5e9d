// Whether a dialog as shown holds its texts: every visible control inside the client area, no two
// visible texts overlapping, and each text within its control, measured as the control draws it.
#pragma once

#include <string>
#include <vector>

#include "testkit/dialog_robot.h"

namespace qeltest {

// What is wrong, one line each; empty when nothing is. A text is measured in the control's own
// font (WM_GETFONT): a wrapping static wrapped at its width (DrawTextW, DT_CALCRECT |
// DT_WORDBREAK), every other text on one line (GetTextExtentPoint32W), a push button with its
// edge and focus frame around the text, a check box with its box before it. A line names the
// control, its text, the room it needs and the room it has. Edits, lists and pictures hold no
// label and are not measured.
std::vector<std::string> TextFitFaults(const DialogView& v);

// Each of those lines as a failure of the test.
void ExpectTextsFit(const DialogView& v);

} // namespace qeltest
