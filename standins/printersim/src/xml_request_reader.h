// Reads one command request the way the printer does: with the platform's XML reader, by
// namespace URI rather than by prefix.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace printersim {

struct CommandRequest {
    std::string operation;    // text of ivec:operation
    std::string service_type; // servicetype of ivec:param_set, without quotes
    // Children of ivec:param_set in document order, named with the prefixes "ivec:" and "vvt:"
    // whatever prefixes the request used; grandchildren as "parent/child". Text trimmed.
    std::vector<std::pair<std::string, std::string>> params;

    const std::string* param(std::string_view name) const;
};

struct RequestReadResult {
    std::optional<CommandRequest> request;
    std::string operation; // what was read of the operation even when the request is unusable
    std::string error;
};

RequestReadResult read_command_request(std::string_view xml, std::string_view common_ns,
                                       std::string_view vendor_ns);

// Parses a small application_data document; returns the text of each child of the root by local
// name, or nothing when it is not well formed or its root is not application_data.
std::optional<std::vector<std::pair<std::string, std::string>>>
read_application_data(std::string_view xml);

} // namespace printersim
