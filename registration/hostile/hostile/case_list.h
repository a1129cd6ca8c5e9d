// The cases of a hostile run: each fault of the catalogue put at each step of a run that it fits.
// The steps are found from a run without faults: the printer's exchanges and port-library calls
// (the world's record) and the requests the cloud received.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "hostile/fault_catalogue.h"

namespace qelhostile {

// One exchange with the printer, or one request to the cloud, of a run without faults.
struct Step {
    Target target = Target::PrinterReply;   // PrinterReply: an exchange; Cloud: a request
    std::string what;                       // "qel StartJob"; "POST /token/a/v1/register"
    std::string link;                       // an exchange's port library: "vtmpu2" or "vtmpu"
    int occurrence = 0;                     // steps with the same `what` before this one
    std::map<std::string, int> callsBefore; // an exchange: calls of each port entry before it
    // An exchange: the port entries called since the exchange before it (its channel's opening
    // among them when it opened one of its own).
    std::map<std::string, int> callsSince;

    std::string Name() const;
};

struct CleanRun {
    std::vector<Step> exchanges;
    std::vector<Step> requests;
};

// Reads the world's record of a run ("call <entry> ...", "fault ...", "exchange <printer>
// <port> <service> <operation> ...") and the cloud's requests ("<method> <path>").
CleanRun ReadCleanRun(const std::vector<std::string>& record,
                      const std::vector<std::string>& requests);

struct Case {
    std::string name; // "<fault> at <step>"
    const FaultKind* fault = nullptr;
    Step step;
    std::vector<std::string> worldLines;   // lines added to the world's [world] section
    std::vector<std::string> printerLines; // lines added to the printer's section
    std::string cloudRule;                 // a rule of the simulated cloud (JSON); "" none
};

// Every fault of the catalogue whose target is among targets, at the steps of the run that it
// fits, as far as its reach goes. A fault and step already
// in covered (by an earlier run) is left out; the cases made are added to it.
std::vector<Case> BuildCases(const std::vector<FaultKind>& catalogue, const CleanRun& run,
                             const std::set<Target>& targets, std::set<std::string>& covered);

} // namespace qelhostile
