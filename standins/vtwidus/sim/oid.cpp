#include "oid.h"

namespace vtwidussim {

std::string FullOid(std::string_view oid) {
    if (!oid.empty() && oid.front() == '.') {
        return std::string(kMakerArc) + std::string(oid);
    }
    return std::string(oid);
}

std::string ShortOid(std::string_view fullOid) {
    if (fullOid.size() > kMakerArc.size() && fullOid.substr(0, kMakerArc.size()) == kMakerArc &&
        fullOid[kMakerArc.size()] == '.') {
        return std::string(fullOid.substr(kMakerArc.size()));
    }
    return std::string(fullOid);
}

bool OidIsUnder(std::string_view oid, std::string_view prefix) {
    if (oid.size() < prefix.size() || oid.substr(0, prefix.size()) != prefix) {
        return false;
    }
    return oid.size() == prefix.size() || oid[prefix.size()] == '.';
}

bool IsWellFormedOid(std::string_view oid) {
    int arcs = 0;
    bool inArc = false;
    for (char c : oid) {
        if (c >= '0' && c <= '9') {
            if (!inArc) {
                ++arcs;
                inArc = true;
            }
        } else if (c == '.' && inArc) {
            inArc = false;
        } else {
            return false;
        }
    }
    return inArc && arcs >= 2;
}

std::optional<std::vector<long long>> ArcsAfter(std::string_view oid, std::string_view prefix) {
    if (!OidIsUnder(oid, prefix) || oid.size() == prefix.size()) {
        return std::nullopt;
    }
    std::vector<long long> arcs;
    std::string_view rest = oid.substr(prefix.size() + 1);
    while (true) {
        const auto dot = rest.find('.');
        const std::string_view part = rest.substr(0, dot);
        if (part.empty() || part.size() > 10) {
            return std::nullopt;
        }
        long long n = 0;
        for (char c : part) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            n = n * 10 + (c - '0');
        }
        arcs.push_back(n);
        if (dot == std::string_view::npos) {
            break;
        }
        rest = rest.substr(dot + 1);
    }
    return arcs;
}

} // namespace vtwidussim
