#include "command_xml.h"

#include "xmlutil/escape.h"

#include <algorithm>
#include <new>

namespace vtqeldevc {

int FindKeyValuePair(const PairList& pairs, std::string_view name) {
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const std::string* FindValue(const PairList& pairs, std::string_view name) {
    const int index = FindKeyValuePair(pairs, name);
    return index < 0 ? nullptr : &pairs[static_cast<std::size_t>(index)].value;
}

void XmlFillRequestDeleter::operator()(xml::XmlFillRequest* request) const noexcept {
    FreeXmlFillRequest(request);
}

void FreeXmlFillRequest(xml::XmlFillRequest* request) noexcept {
    if (request != nullptr) {
        request->~XmlFillRequest();
        GlobalAllocator<xml::XmlFillRequest>().deallocate(request, 1);
    }
}

int MakeXmlFillRequest(std::string_view text, const PairList& pairs, bool fills,
                       XmlFillRequestPtr& request) {
    request.reset();
    if (text.data() == nullptr) {
        return 2;
    }
    void* memory = GlobalAllocator<xml::XmlFillRequest>().allocate(1);
    request.reset(new (memory) xml::XmlFillRequest());
    auto& made = *request;
    made.text.assign(text);
    made.output.resize(xml::kFillCapacity);
    made.output_capacity = xml::kFillCapacity;
    made.entries.resize(pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        made.entries[i].path.assign(pairs[i].name);
        made.entries[i].value.assign(pairs[i].value);
        made.entries[i].fills = fills;
    }
    return 0;
}

namespace {

// Create, scan, collect and free one document over the request. 0 when the scan succeeded.
int ScanRequest(xml::XmlFillRequest& request, std::size_t* root_end) {
    xml::XmlDocPtr doc;
    if (xml::XmlDocCreate(request, doc) != xml::kOk) {
        return 1;
    }
    const int parsed = xml::XmlDocParse(*doc);
    if (parsed == xml::kOk && xml::XmlDocCollect(*doc, request) != xml::kOk) {
        return 1;
    }
    if (root_end != nullptr) {
        *root_end = xml::XmlDocRootEnd(*doc);
    }
    return parsed == xml::kOk ? 0 : 1;
}

} // namespace

std::size_t BuildCommandXml(std::string_view template_text, const PairList& pairs,
                            std::span<char> output) {
    if (output.data() == nullptr || output.size() < xml::kFillCapacity) {
        return 0;
    }
    XmlFillRequestPtr request;
    if (MakeXmlFillRequest(template_text, pairs, true, request) != 0) {
        return 0;
    }
    if (ScanRequest(*request, nullptr) != 0 || xml::XmlDocSerialize(*request) != xml::kOk) {
        return 0;
    }
    const std::size_t length = request->output_length;
    if (length < 1 || length > xml::kFillCapacity) {
        return 0;
    }
    std::copy_n(request->output.data(), length, output.data());
    return length;
}

std::string_view ReplyText(std::span<const char> received) noexcept {
    const std::string_view bytes(received.data(), received.size());
    return bytes.substr(0, bytes.find('\0'));
}

int ReadResponseValues(std::string_view reply, std::span<const std::string> paths,
                       std::vector<std::string>* values, std::size_t* root_end) {
    if (values == nullptr) {
        return 2;
    }
    if (root_end != nullptr) {
        *root_end = 0;
    }
    reply = reply.substr(0, reply.find('\0'));
    PairList pairs;
    pairs.reserve(paths.size());
    for (const auto& path : paths) {
        pairs.push_back({path, {}});
    }
    XmlFillRequestPtr request;
    if (MakeXmlFillRequest(reply, pairs, false, request) != 0) {
        return 1;
    }
    if (ScanRequest(*request, root_end) != 0) {
        return 1;
    }
    const std::string_view text(request->text);
    for (const auto& entry : request->entries) {
        if (entry.status == xml::kStatusFound &&
            std::size_t{entry.found_offset} + entry.found_length <= text.size()) {
            const auto value = text.substr(entry.found_offset, entry.found_length);
            // Values go back into requests, where they are escaped again: read them as
            // the printer meant them, not as it had to write them.
            values->push_back(entry.cdata ? std::string(value) : xmlutil::UnescapeXml(value));
        } else {
            values->emplace_back();
        }
    }
    return 0;
}

int GetResponseOperation(std::string_view reply, std::string* operation,
                         std::string* service_type) {
    if (reply.data() == nullptr || operation == nullptr || service_type == nullptr) {
        return 2;
    }
    static const std::string kPaths[] = {"cmd/ivec:contents/ivec:operation",
                                         "cmd/ivec:contents/ivec:param_set servicetype"};
    std::vector<std::string> values;
    if (ReadResponseValues(reply, kPaths, &values) != 0) {
        return 1;
    }
    if (!values[0].empty()) {
        *operation = values[0];
    }
    if (!values[1].empty()) {
        *service_type = values[1];
    }
    return 0;
}

} // namespace vtqeldevc
