// Faults that a scenario injects into the packet library's entries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vtwidussim {

enum class FaultAction {
    Return = 1,
    Delay = 2,
    ErrorStatus = 3,
    NoSuchObject = 4,
    NoSuchInstance = 5,
    EmptyValue = 6,
    OmitVarbind = 7,
    CountWithoutList = 8,
    Block = 9,
};

struct Fault {
    int entry = 0;
    int printer = -1; // -1: any printer
    std::string oid;  // full OID; empty: any request
    int command = 0;  // 0: any command
    int skip = 0;     // matching calls that pass first
    int times = 1;    // how often it fires; -1: always
    FaultAction action = FaultAction::Return;
    int value = 0;
    int hits = 0;
};

// What a call offers for matching.
struct CallSite {
    int entry = 0;
    int printer = -1;
    std::uint8_t command = 0;
    const std::vector<std::string>* oids = nullptr; // request OIDs of an exchange
};

class FaultPlan {
public:
    int Add(Fault fault);
    void Clear() { faults_.clear(); }
    int Hits(int id) const;

    // The faults that fire for this call, in the order they were added; each one's skip and
    // times counters move on.
    std::vector<Fault> Fire(const CallSite& site);

private:
    static bool Matches(const Fault& f, const CallSite& site);
    std::vector<Fault> faults_;
};

} // namespace vtwidussim
