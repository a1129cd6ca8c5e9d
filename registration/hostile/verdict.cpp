#include "hostile/verdict.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace qelhostile {

namespace {

constexpr int kRegistrationFailed = 11003;
constexpr int kSetupInformation = 11008;
constexpr int kRegistrationRetry = 11009;
constexpr int kSearchFailed = 11010;
// The Wi-Fi recovery's question and its boxes, which a printer on USB without internet leads to.
constexpr int kWifiFirst = 17001;
constexpr int kWifiLast = 17016;

bool In(int box, std::initializer_list<int> boxes) {
    return std::find(boxes.begin(), boxes.end(), box) != boxes.end();
}

bool IsFailureBox(FlowKind flow, int box) {
    switch (flow) {
    case FlowKind::Setup:
        return In(box, {kSearchFailed, kRegistrationRetry, kRegistrationFailed});
    case FlowKind::Launcher:
    case FlowKind::Installer:
        return In(box, {kRegistrationRetry, kRegistrationFailed});
    }
    return false;
}

bool IsAllowedBox(FlowKind flow, int box) {
    if (IsFailureBox(flow, box)) {
        return true;
    }
    // The launcher's registration has no Wi-Fi recovery; the printer list and the installer's
    // invitation screen have.
    return (flow == FlowKind::Setup && box == kSetupInformation) ||
           (flow != FlowKind::Launcher && box >= kWifiFirst && box <= kWifiLast);
}

std::string Hex(unsigned long code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", code);
    return text;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

} // namespace

Outcome ReadReport(const qeltest::DriveReport& report) {
    Outcome o;
    o.started = report.started;
    o.exitCode = report.exitCode;
    o.stalled = report.failure;
    // Wine's own desktop and shell process, which Wine starts for whichever program first
    // needs it, is none of the program's.
    for (const std::wstring& left : report.leftBehind) {
        if (left.rfind(L"explorer.exe", 0) != 0) {
            o.leftBehind.push_back(left);
        }
    }
    o.pageOpened = !report.pages.empty();
    for (const qeltest::SeenScreen& s : report.screens) {
        if (s.key.kind == qeltest::ScreenKind::Box) {
            o.boxes.push_back(s.key.id);
        } else if (s.key.id == 0) {
            o.unknownWindows.push_back(s.caption);
        }
    }
    return o;
}

Verdict Judge(FlowKind flow, const Case& c, const Outcome& outcome) {
    const Outcome& d = outcome;
    Verdict v;
    int lastFailure = 0;
    for (const int box : d.boxes) {
        if (IsFailureBox(flow, box)) {
            lastFailure = box;
        }
    }
    v.label = outcome.pageOpened ? "registered"
              : lastFailure != 0 ? "box " + std::to_string(lastFailure)
                                 : "no box";
    if (!d.started) {
        v.problem = "the program did not start";
    } else if (!d.exitCode) {
        v.problem = "hung: " +
                    (d.stalled.empty() ? std::string("ended by the watchdog") : Narrow(d.stalled));
    } else if (*d.exitCode != 0) {
        v.problem = "crashed or failed: exit code " + Hex(*d.exitCode);
    } else if (!d.leftBehind.empty()) {
        v.problem = "left " + Narrow(d.leftBehind.front()) + " running";
    } else if (!outcome.regUrlKept) {
        v.problem = "lost the stored RegUrl";
    } else if (!d.unknownWindows.empty()) {
        v.problem = "showed a window of no known screen";
    } else if (const auto odd = std::find_if(d.boxes.begin(), d.boxes.end(),
                                             [&](int box) { return !IsAllowedBox(flow, box); });
               odd != d.boxes.end()) {
        v.problem = "showed box " + std::to_string(*odd) + ", not one of this flow's";
    } else if (!outcome.faultReached) {
        // The run went by the step the case was made for: it tested nothing, and a case list
        // that stops reaching its steps must not pass quietly.
        v.label = "not reached";
        v.problem = "its fault was never reached";
    } else if (flow == FlowKind::Setup && !outcome.pageOpened && lastFailure == 0) {
        v.problem = "the registration failed without a box";
    } else if (c.fault != nullptr && c.fault->target == Target::Cloud && !c.fault->mayPass) {
        // A server that failed the registration: the program tells "registration failed".
        if (outcome.pageOpened) {
            v.problem = "opened a page although the server failed";
        } else if (flow != FlowKind::Installer && lastFailure != kRegistrationFailed) {
            v.problem = "showed " + v.label + " where a server failure gives box 11003";
        }
    }
    return v;
}

} // namespace qelhostile
