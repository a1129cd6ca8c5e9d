// The protocol's face of the XML template library: fill a request template from (path, value)
// pairs, read the values at a list of paths out of a reply, tell which operation a reply answers.
#pragma once

#include "xml_template.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vtqeldevc {

struct NameValue {
    std::string name;
    std::string value;
};
// Ordered (path, value) or (name, value) list, owned by the caller.
using PairList = std::vector<NameValue>;

// Index of the first pair whose name equals name exactly, or -1.
int FindKeyValuePair(const PairList& pairs, std::string_view name);
// The value of the first pair named name, or nullptr.
const std::string* FindValue(const PairList& pairs, std::string_view name);

struct XmlFillRequestDeleter {
    void operator()(xml::XmlFillRequest* request) const noexcept;
};
using XmlFillRequestPtr = std::unique_ptr<xml::XmlFillRequest, XmlFillRequestDeleter>;

// fills: the entries replace their places even with empty values (request templates).
// 0; 2 when text has no data. Running out of memory throws, as everywhere below the
// library's guard (guard.h).
int MakeXmlFillRequest(std::string_view text, const PairList& pairs, bool fills,
                       XmlFillRequestPtr& request);
void FreeXmlFillRequest(xml::XmlFillRequest* request) noexcept;

// Fills the template; returns the request's length (1..4096) in output, or 0 on any failure
// (output too small or null, the template not scanned, the filled request larger than 4096).
std::size_t BuildCommandXml(std::string_view template_text, const PairList& pairs,
                            std::span<char> output);

// The reply as a document: the received bytes up to the first NUL.
std::string_view ReplyText(std::span<const char> received) noexcept;

// Appends one text per path to values (empty where the path was not found), with entity and
// character references decoded outside CDATA sections. 0; 1 when the reply
// could not be scanned; 2 when values is null. root_end (optional) receives the offset just past
// "</cmd>", 0 when the reply ended before it.
int ReadResponseValues(std::string_view reply, std::span<const std::string> paths,
                       std::vector<std::string>* values, std::size_t* root_end = nullptr);

// Reads the reply's operation and service type (with its quotes); each output is replaced only
// by a non-empty value. 0 read, 1 not read, 2 null argument.
int GetResponseOperation(std::string_view reply, std::string* operation, std::string* service_type);

} // namespace vtqeldevc
