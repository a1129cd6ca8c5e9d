// What a program's world did, written as it happens to the file that QEL_WORLD_RECORD names, so
// that a test outside the process sees the face calls and the printers' exchanges of a run, also
// of a run that crashed or was ended by its watchdog.
#pragma once

#include <string_view>

namespace qelworld {

struct WorldPrinter;

// Appends one line to the record file; nothing when QEL_WORLD_RECORD is not set.
void RecordLine(std::string_view line) noexcept;

// Appends the printer's last exchange: "exchange <printer> <port> <service> <operation>
// <response> [<detail>]".
void RecordLastExchange(const WorldPrinter& printer) noexcept;

} // namespace qelworld
