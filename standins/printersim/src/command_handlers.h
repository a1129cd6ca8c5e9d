// What the printer does with each command: checks, changes to the model, and the values it
// answers with, before any scenario fault is applied.
#pragma once

#include "printersim/printer_crypto.h"
#include "printersim/printer_model.h"
#include "printersim/protocol_tables.h"
#include "printersim/responder.h"
#include "printersim/scenario.h"

#include "reply_writer.h"
#include "xml_request_reader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace printersim {

struct CommandOutcome {
    std::string response = "OK";
    std::string detail;
    std::vector<ReplyNode> params; // after ivec:response and ivec:response_detail
    std::optional<crypto::Bytes> payload;
    std::string application_data;
};

CommandOutcome handle_command(PrinterModel& printer, const ProtocolTables& tables,
                              const Scenario& scenario, PortPath port,
                              const CommandRequest& request, std::string_view payload);

// The fixed vvt:ijdatakey3 of the first qel StartJob.
inline constexpr std::string_view kStartJobKey3 = "9e41c07b2d58a3f6e0b1947c5d2a86fe";

} // namespace printersim
