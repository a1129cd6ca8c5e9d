// The keys of a printer section of the world text, each with how it is set from a value and read
// back, so what can be written can be read back under the same name.
#pragma once

#include "world_printer.h"

#include <string>
#include <string_view>
#include <vector>

namespace qelworld {

struct PrinterKey {
    using Apply = std::string (*)(WorldPrinter&, std::string_view value); // "" or what is wrong
    using Read = std::vector<std::string> (*)(WorldPrinter&);             // a line per item
    std::string_view name;
    Apply apply;
    Read read;
};

// The key of that name, or null.
const PrinterKey* FindPrinterKey(std::string_view name);

} // namespace qelworld
