#include "snmp_agent.h"

namespace vtwidussim {

AgentResponse Answer(UsbPrinter& printer, std::uint8_t command,
                     const std::vector<Varbind>& request) {
    AgentResponse response;
    if (command == kGetRequest) {
        response.varbinds.reserve(request.size());
        for (const Varbind& vb : request) {
            response.varbinds.push_back({vb.oid, printer.Get(vb.oid)});
        }
        return response;
    }
    response.varbinds = request;
    if (command != kSetRequest) {
        response.errorStatus = static_cast<int>(ErrorStatus::GenErr);
        return response;
    }
    for (std::size_t i = 0; i < request.size(); ++i) {
        const ErrorStatus status = printer.CheckSet(request[i]);
        if (status != ErrorStatus::NoError) {
            response.errorStatus = static_cast<int>(status);
            response.errorIndex = static_cast<int>(i + 1);
            return response;
        }
    }
    for (const Varbind& vb : request) {
        printer.CommitSet(vb);
    }
    return response;
}

} // namespace vtwidussim
