#include "fault_plan.h"

#include "oid.h"

namespace vtwidussim {

int FaultPlan::Add(Fault fault) {
    fault.hits = 0;
    faults_.push_back(std::move(fault));
    return static_cast<int>(faults_.size() - 1);
}

int FaultPlan::Hits(int id) const {
    if (id < 0 || static_cast<std::size_t>(id) >= faults_.size()) {
        return -1;
    }
    return faults_[static_cast<std::size_t>(id)].hits;
}

bool FaultPlan::Matches(const Fault& f, const CallSite& site) {
    if (f.entry != site.entry || f.times == 0) {
        return false;
    }
    if (f.printer >= 0 && f.printer != site.printer) {
        return false;
    }
    if (f.command != 0 && f.command != site.command) {
        return false;
    }
    if (!f.oid.empty()) {
        if (site.oids == nullptr) {
            return false;
        }
        bool found = false;
        for (const std::string& oid : *site.oids) {
            found = found || OidIsUnder(oid, f.oid);
        }
        return found;
    }
    return true;
}

std::vector<Fault> FaultPlan::Fire(const CallSite& site) {
    std::vector<Fault> fired;
    for (Fault& f : faults_) {
        if (!Matches(f, site)) {
            continue;
        }
        if (f.skip > 0) {
            --f.skip;
            continue;
        }
        if (f.times > 0) {
            --f.times;
        }
        ++f.hits;
        fired.push_back(f);
    }
    return fired;
}

} // namespace vtwidussim
