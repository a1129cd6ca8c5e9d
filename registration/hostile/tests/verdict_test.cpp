// The verdict of a case: what each flow may show, and every way a run can go wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostile/fault_catalogue.h"
#include "hostile/verdict.h"

namespace {

using namespace qelhostile;

// clang-format off
const FaultKind kPrinterFault{"printer", Family::Cut, Target::PrinterReply, "cut 1", "", false,
                              Reach::Every};
const FaultKind kCloudFault{"cloud", Family::Refusal, Target::Cloud, "", "", false, Reach::Every};
const FaultKind kCloudSound{"cloud-sound", Family::Oversized, Target::Cloud, "", "", true, Reach::Every};
// clang-format on

TEST(VerdictTest, EachOutcomeGetsItsLabelAndProblem) {
    struct Row {
        const char* name;
        FlowKind flow;
        const FaultKind* fault;
        bool started;
        std::optional<DWORD> exitCode;
        std::vector<int> boxes;
        std::vector<std::wstring> unknown;
        bool page;
        bool kept;
        bool reached;
        const char* label;
        const char* problem; // a part of it; "" none
    };
    const std::vector<int> start{11008};
    // clang-format off
    const Row rows[] = {
        {"registered", FlowKind::Setup, &kPrinterFault, true, 0, start, {}, true, true, true,
         "registered", ""},
        {"retry box", FlowKind::Setup, &kPrinterFault, true, 0, {11008, 11009}, {}, false, true,
         true, "box 11009", ""},
        {"none found", FlowKind::Setup, &kPrinterFault, true, 0, {11008, 11010}, {}, false, true,
         true, "box 11010", ""},
        {"silent failure", FlowKind::Setup, &kPrinterFault, true, 0, start, {}, false, true, true,
         "no box", "without a box"},
        {"not reached", FlowKind::Setup, &kPrinterFault, true, 0, start, {}, true, true, false,
         "not reached", "never reached"},
        {"hung", FlowKind::Setup, &kPrinterFault, true, std::nullopt, start, {}, false, true,
         true, "no box", "watchdog"},
        {"left behind", FlowKind::Setup, &kPrinterFault, true, 0, start, {}, true, true, true,
         "registered", "left x.exe running"},
        {"crashed", FlowKind::Setup, &kPrinterFault, true, 0xC0000005, start, {}, false, true,
         true, "no box", "0xC0000005"},
        {"not started", FlowKind::Setup, &kPrinterFault, false, std::nullopt, {}, {}, false, true,
         true, "no box", "did not start"},
        {"lost page", FlowKind::Setup, &kPrinterFault, true, 0, {11008, 11003}, {}, false, false,
         true, "box 11003", "RegUrl"},
        {"odd window", FlowKind::Setup, &kPrinterFault, true, 0, {11008, 11003}, {L"Edit x"},
         false, true, true, "box 11003", "no known screen"},
        {"odd box", FlowKind::Setup, &kPrinterFault, true, 0, {11008, 11007}, {}, false, true,
         true, "no box", "box 11007"},
        {"server failure told", FlowKind::Setup, &kCloudFault, true, 0, {11008, 11003}, {}, false,
         true, true, "box 11003", ""},
        {"server failure as a retry", FlowKind::Setup, &kCloudFault, true, 0, {11008, 11009}, {},
         false, true, true, "box 11009", "gives box 11003"},
        {"page after a server failure", FlowKind::Setup, &kCloudFault, true, 0, start, {}, true,
         true, true, "registered", "although the server failed"},
        {"sound server change", FlowKind::Setup, &kCloudSound, true, 0, start, {}, true, true,
         true, "registered", ""},
        {"installer silent", FlowKind::Installer, &kCloudFault, true, 0, {}, {}, false, true, true,
         "no box", ""},
        {"installer told by its screen", FlowKind::Installer, &kPrinterFault, true, 0, {11009},
         {}, false, true, true, "box 11009", ""},
        {"installer with the start box", FlowKind::Installer, &kPrinterFault, true, 0, {11008},
         {}, false, true, true, "no box", "box 11008"},
        {"launcher without Wi-Fi", FlowKind::Launcher, &kPrinterFault, true, 0, {17001}, {},
         false, true, true, "no box", "box 17001"},
        {"launcher retry", FlowKind::Launcher, &kPrinterFault, true, 0, {11009}, {}, false, true,
         true, "box 11009", ""},
        {"launcher cancel", FlowKind::Launcher, &kPrinterFault, true, 0, {}, {}, false, true, true,
         "no box", ""},
        {"launcher start box", FlowKind::Launcher, &kPrinterFault, true, 0, {11008}, {}, false,
         true, true, "no box", "box 11008"},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Case c;
        c.fault = r.fault;
        Outcome o;
        o.started = r.started;
        o.exitCode = r.exitCode;
        o.boxes = r.boxes;
        o.unknownWindows = r.unknown;
        o.pageOpened = r.page;
        o.regUrlKept = r.kept;
        o.faultReached = r.reached;
        if (std::string(r.name) == "left behind") {
            o.leftBehind = {L"x.exe"};
        }
        const Verdict v = Judge(r.flow, c, o);
        EXPECT_EQ(v.label, r.label);
        if (std::string(r.problem).empty()) {
            EXPECT_EQ(v.problem, "");
        } else {
            EXPECT_NE(v.problem.find(r.problem), std::string::npos) << v.problem;
        }
    }
}

} // namespace
