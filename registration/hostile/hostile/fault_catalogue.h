// Every fault that the simulated printers, their port libraries and the simulated cloud can
// inject into a run of the program, by family, with the steps of a run each one fits.
#pragma once

#include <string>
#include <vector>

namespace qelhostile {

enum class Family {
    Refusal,
    Cut,
    Oversized,
    WrongNamespace,
    TimeOut,
    DroppedConnection,
    BadKeyOrDigest,
    Malformed,
};

const char* FamilyName(Family family) noexcept;

// Where a fault is put.
enum class Target {
    PrinterReply,   // a "reply-fault" of the printer: one XML reply changed
    PortEntry,      // a "fault" of a port library's entry, as the printer's link misbehaves
    PrinterSetting, // a key of the printer (its qel job's keys), for the whole run
    Cloud,          // a rule of the simulated cloud: one answer of a server
};

// At which of the steps it fits a fault is put. Every case runs the whole program with its fixed
// waits, so the faults that probe each step's reading of a reply go everywhere and the others
// once, each at another step.
enum class Reach {
    Every,  // at every step it fits
    Spread, // at one step: the n-th fault of this reach goes to the n-th step it fits (wrapping)
    First,  // at the first step it fits (a fault that costs a long wait)
};

struct FaultKind {
    const char* name;
    Family family;
    Target target;
    // PrinterReply: the change of a reply-fault line ("cut 96"); PortEntry: "<entry> <action>"
    // of a fault line; PrinterSetting: "<key> <value>"; Cloud: the rule's JSON members besides
    // path, method, skip and times.
    const char* spec;
    // The steps it fits: an exchange's "<service> <operation>" or port library ("vtmpu2",
    // "vtmpu"), a request's path prefix; "" fits every step of its target.
    const char* fits;
    // The run may still register: the change leaves a sound reply, or the program may rightly
    // try again.
    bool mayPass;
    Reach reach;
};

// The whole catalogue, in the order the cases run.
const std::vector<FaultKind>& Catalogue();

} // namespace qelhostile
