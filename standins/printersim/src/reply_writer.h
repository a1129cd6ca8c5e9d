// Writes reply documents the way the printer sends them: one line, the declaration, the root cmd
// with its namespace declarations, ivec:contents, the operation and the param_set.
#pragma once

#include "printersim/scenario.h"

#include <string>
#include <utility>
#include <vector>

namespace printersim {

struct ReplyNode {
    std::string name; // "ivec:x" or "vvt:x"; the writer maps the prefixes
    std::string text;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<ReplyNode> children;
    bool cdata = false;
};

struct ReplyStyle {
    ReplyNamespaces namespaces = ReplyNamespaces::Usual;
    bool comments_with_gt = false; // comments holding '>' between the elements
};

std::string write_reply(const std::string& operation, const std::string& service_type,
                        const std::vector<ReplyNode>& params, const std::string& common_ns,
                        const std::string& vendor_ns, const ReplyStyle& style);

std::string xml_escape(const std::string& text);

} // namespace printersim
