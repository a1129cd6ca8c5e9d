// The text form of the world: sections of "key = value" lines (README.md lists every key). One
// table of keys serves the file, the control API's single lines and the read-back of values, so
// what can be written can be read back under the same name.
#pragma once

#include "world.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qelworld {

// A world description read and checked whole, not yet part of any world.
struct Description {
    std::vector<std::shared_ptr<WorldPrinter>> printers;
    WorldSettings settings;
    std::vector<FaceFault> faults;
    bool hasWorldSection = false;
};

// Reads a description; on failure returns nullopt and sets error to "<source>:<line>: <what>".
std::optional<Description> ParseDescription(std::string_view text, std::string_view source,
                                            std::string& error);

// Applies one "key = value" line to a printer, or to the world's settings and faults; returns ""
// or what is wrong with the line.
std::string ApplyPrinterLine(WorldPrinter& printer, std::string_view line);
std::string ApplyWorldLine(WorldSettings& settings, std::vector<FaceFault>& faults,
                           std::string_view line);

// The current value of a printer key (as a line would set it; repeated keys give one line each)
// or of a read-only fact (see README.md); nullopt for an unknown key.
std::optional<std::string> ReadPrinterKey(WorldPrinter& printer, std::string_view key);

// "port1", "port2" or "usb", as the exchanges name a command path.
std::string PortName(printersim::PortPath port);

} // namespace qelworld
