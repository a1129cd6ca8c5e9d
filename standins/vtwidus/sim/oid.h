// OID texts of the simulated printer.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vtwidussim {

// The printer maker's private enterprise arc; every object of the printer lies below it.
inline constexpr std::string_view kMakerArc = "1.3.6.1.4.1.58217";

// ".1.3.1.11.0" stands for that suffix below the maker's arc; any other text is taken as a
// full OID.
std::string FullOid(std::string_view oid);
// The reverse, for journal lines: OIDs below the arc are written with a leading point.
std::string ShortOid(std::string_view fullOid);

// True when oid equals prefix or lies below it.
bool OidIsUnder(std::string_view oid, std::string_view prefix);

// Dotted decimal text of at least two arcs, digits only.
bool IsWellFormedOid(std::string_view oid);

// The numbers after prefix (which oid lies below), or nullopt when one is not a number.
std::optional<std::vector<long long>> ArcsAfter(std::string_view oid, std::string_view prefix);

} // namespace vtwidussim
