// The fault lines of the world text: "fault" (what one face entry returns instead) and
// "reply-fault" (how the printer's XML replies change).
#pragma once

#include "world_printer.h"

#include <string>
#include <string_view>
#include <vector>

namespace qelworld {

// Adds the fault of a "fault" value (or empties the list for "none"); "" or what is wrong.
std::string AddFault(std::vector<FaceFault>& faults, std::string_view value);
// The faults as "fault" values.
std::vector<std::string> FaultLines(const std::vector<FaceFault>& faults);

// Adds the reply fault of a "reply-fault" value to the printer's responder ("none" empties them).
std::string AddReplyFault(WorldPrinter& printer, std::string_view value);

} // namespace qelworld
