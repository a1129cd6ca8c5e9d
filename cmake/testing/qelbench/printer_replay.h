// The printer's share of a benchmark's floor: the exchanges that a printer of the simulated world
// had in a run, sent to it again through the port libraries alone (a channel opened, the request
// written, the reply read whole, the channel closed), without the program around them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "qelworld/qelworld_client.h"
#include "vtmpu2_ctrl.h"
#include "vtmpu_ctrl.h"

namespace qelbench {

struct PrinterExchange {
    std::string port;    // "port1" or "port2" of the network channel, or "usb"
    std::string request; // the bytes the printer received
    std::size_t replyBytes = 0;
};

// What the printer received since the world was loaded, in order (the world's "requests").
std::vector<PrinterExchange> RecordedExchanges(const qelworld::Client& world,
                                               const std::string& printer);

class PortLibraries {
public:
    // vtmpu2.dll and vtmpu.dll from the folder (the stand-ins beside the benchmark).
    explicit PortLibraries(const std::wstring& folder);
    bool Loaded() const;

    // One exchange with the printer at the network address, or on the USB port for "usb"; the
    // size of the reply, or nothing when a step failed.
    std::optional<std::size_t> Exchange(const std::wstring& address, const std::string& usbPort,
                                        const PrinterExchange& exchange) const;

private:
    std::optional<std::size_t> OverNetwork(const std::wstring& address,
                                           const PrinterExchange& exchange) const;
    std::optional<std::size_t> OverUsb(const std::string& port,
                                       const PrinterExchange& exchange) const;

    // Bound with the tables that vtqeldevc.dll binds them with.
    vtqeldevc::BoundLibrary<vtqeldevc::Pu2Api> pu2_;
    vtqeldevc::BoundLibrary<vtqeldevc::PuApi> pu_;
    bool loaded_ = false;
};

} // namespace qelbench
