// The printer's SNMP agent: answers one GET or SET request against the printer's objects.
#pragma once

#include "snmp_types.h"
#include "usb_printer.h"

#include <cstdint>
#include <vector>

namespace vtwidussim {

inline constexpr std::uint8_t kGetRequest = 0xA0;
inline constexpr std::uint8_t kGetResponse = 0xA2;
inline constexpr std::uint8_t kSetRequest = 0xA3;

struct AgentResponse {
    int errorStatus = 0;
    int errorIndex = 0; // 1-based position of the varbind that failed, 0 for none
    std::vector<Varbind> varbinds;
};

// GET answers every varbind with the object's value or a noSuchObject/noSuchInstance value.
// SET checks every varbind first and changes nothing unless all are accepted; the response
// echoes the request's varbinds. Any other command is answered with genErr.
AgentResponse Answer(UsbPrinter& printer, std::uint8_t command,
                     const std::vector<Varbind>& request);

} // namespace vtwidussim
