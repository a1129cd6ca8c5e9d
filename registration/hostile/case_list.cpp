#include "hostile/case_list.h"

#include <sstream>
#include <utility>

namespace qelhostile {

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    return words;
}

std::string LinkOfPort(const std::string& port) {
    return port == "usb" ? "vtmpu" : "vtmpu2";
}

// "GET /gateway/capi" -> "/gateway/capi".
std::string PathOf(const std::string& request) {
    const auto blank = request.find(' ');
    return blank == std::string::npos ? request : request.substr(blank + 1);
}

std::string MethodOf(const std::string& request) {
    const auto blank = request.find(' ');
    return blank == std::string::npos ? std::string() : request.substr(0, blank);
}

bool FitsRequest(const std::string& fits, const std::string& path) {
    if (fits.empty()) {
        return true;
    }
    std::size_t from = 0;
    for (;;) {
        const std::size_t bar = fits.find('|', from);
        const std::string prefix = fits.substr(from, bar - from);
        if (path.compare(0, prefix.size(), prefix) == 0) {
            return true;
        }
        if (bar == std::string::npos) {
            return false;
        }
        from = bar + 1;
    }
}

// "pu2Write -3" -> "pu2Write".
std::string EntryOf(const std::string& spec) {
    return spec.substr(0, spec.find(' '));
}

// The record shows a channel's opening before the exchanges over it, and each exchange before
// the writes and reads that carry it.
bool OpensChannel(const std::string& entry) {
    return entry == "pu2Open" || entry == "puOpen" || entry == "puOpenPort";
}

bool Fits(const FaultKind& fault, const Step& step) {
    const std::string fits = fault.fits;
    switch (fault.target) {
    case Target::Cloud:
        return step.target == Target::Cloud && FitsRequest(fits, PathOf(step.what));
    case Target::PortEntry:
        // An opening fails only for an exchange that opened its channel: one over a channel
        // already open has no opening to fail, and the fault would fire at a later exchange's,
        // or never.
        return step.target == Target::PrinterReply && fits == step.link &&
               (!OpensChannel(EntryOf(fault.spec)) ||
                step.callsSince.count(EntryOf(fault.spec)) != 0);
    case Target::PrinterReply:
    case Target::PrinterSetting:
        return step.target == Target::PrinterReply &&
               (fits.empty() || fits == step.what || fits == step.link);
    }
    return false;
}

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

Case MakeCase(const FaultKind& fault, const Step& step) {
    Case c;
    c.fault = &fault;
    c.step = step;
    c.name = std::string(fault.name) + " at " + step.Name();
    const std::string spec = fault.spec;
    switch (fault.target) {
    case Target::PrinterReply:
        c.printerLines.push_back("reply-fault = " + step.what + " " + spec + " skip " +
                                 std::to_string(step.occurrence));
        break;
    case Target::PrinterSetting: {
        const auto blank = spec.find(' ');
        c.printerLines.push_back(spec.substr(0, blank) + " = " + spec.substr(blank + 1));
        break;
    }
    case Target::PortEntry: {
        // The entries of the port libraries are counted over the whole world (an open has no
        // printer yet), so the fault stands in the world's section.
        // Its own opening is the last before it; its writes and reads come after it.
        const std::string entry = EntryOf(spec);
        const auto calls = step.callsBefore.find(entry);
        const int skip =
            (calls != step.callsBefore.end() ? calls->second : 0) - (OpensChannel(entry) ? 1 : 0);
        c.worldLines.push_back("fault = " + spec + " skip " + std::to_string(skip));
        break;
    }
    case Target::Cloud:
        c.cloudRule = "{\"path\": " + JsonText(PathOf(step.what)) +
                      ", \"method\": " + JsonText(MethodOf(step.what)) +
                      ", \"skip\": " + std::to_string(step.occurrence) + ", \"times\": 1, " + spec +
                      "}";
        break;
    }
    return c;
}

} // namespace

std::string Step::Name() const {
    return what + (occurrence > 0 ? " #" + std::to_string(occurrence + 1) : std::string());
}

CleanRun ReadCleanRun(const std::vector<std::string>& record,
                      const std::vector<std::string>& requests) {
    CleanRun run;
    std::map<std::string, int> calls;
    std::map<std::string, int> since;
    std::map<std::string, int> seen;
    for (const std::string& line : record) {
        const auto words = Words(line);
        if (words.size() >= 2 && words[0] == "call") {
            ++calls[words[1]];
            ++since[words[1]];
        } else if (words.size() >= 5 && words[0] == "exchange") {
            Step step;
            step.target = Target::PrinterReply;
            step.what = words[3] + " " + words[4];
            step.link = LinkOfPort(words[2]);
            step.occurrence = seen[step.what]++;
            step.callsBefore = calls;
            step.callsSince = std::exchange(since, {});
            run.exchanges.push_back(std::move(step));
        }
    }
    seen.clear();
    for (const std::string& request : requests) {
        Step step;
        step.target = Target::Cloud;
        step.what = request;
        step.occurrence = seen[request]++;
        run.requests.push_back(std::move(step));
    }
    return run;
}

std::vector<Case> BuildCases(const std::vector<FaultKind>& catalogue, const CleanRun& run,
                             const std::set<Target>& targets, std::set<std::string>& covered) {
    std::vector<Case> cases;
    std::map<Target, int> spread; // faults of reach Spread so far, by the steps they go to
    for (const FaultKind& fault : catalogue) {
        if (targets.count(fault.target) == 0) {
            continue;
        }
        const auto& steps = fault.target == Target::Cloud ? run.requests : run.exchanges;
        std::vector<const Step*> fitting;
        for (const Step& step : steps) {
            if (Fits(fault, step)) {
                fitting.push_back(&step);
            }
        }
        if (fitting.empty()) {
            continue;
        }
        if (fault.reach == Reach::First) {
            fitting.resize(1);
        } else if (fault.reach == Reach::Spread) {
            const std::size_t n = static_cast<std::size_t>(spread[fault.target]++);
            fitting = {fitting[n % fitting.size()]};
        }
        for (const Step* step : fitting) {
            Case c = MakeCase(fault, *step);
            if (covered.insert(c.name).second) {
                cases.push_back(std::move(c));
            }
        }
    }
    return cases;
}

} // namespace qelhostile
