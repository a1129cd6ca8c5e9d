#include "xml_request_reader.h"

#include "xmllite_api.h"

#include "win/unique_any.h"

#include <shlwapi.h>

#include <string>

namespace printersim {
namespace {

std::string to_utf8(const wchar_t* text, UINT length) {
    if (text == nullptr || length == 0) {
        return {};
    }
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                        nullptr, nullptr);
    std::string out(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), n, nullptr,
                              nullptr);
    }
    return out;
}

std::string trim(std::string s) {
    const auto ws = " \t\r\n";
    const auto b = s.find_first_not_of(ws);
    if (b == std::string::npos) {
        return {};
    }
    const auto e = s.find_last_not_of(ws);
    return s.substr(b, e - b + 1);
}

// One element as the reader meets it.
struct Element {
    std::string name; // "ivec:x", "vvt:x", the bare name, or "{uri}x" for other namespaces
    std::string text;
};

class Reader {
public:
    explicit Reader(std::string_view xml) {
        const auto& api = xmllite_api();
        if (api.create_reader == nullptr) {
            error_ = "xmllite.dll is not available";
            return;
        }
        stream_.reset(::SHCreateMemStream(reinterpret_cast<const BYTE*>(xml.data()),
                                          static_cast<UINT>(xml.size())));
        if (!stream_) {
            error_ = "no memory stream";
            return;
        }
        if (FAILED(api.create_reader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader_.put()),
                                     nullptr)) ||
            !reader_ ||
            FAILED(reader_.get()->SetProperty(XmlReaderProperty_DtdProcessing,
                                              DtdProcessing_Prohibit)) ||
            FAILED(reader_.get()->SetInput(stream_.get()))) {
            error_ = "the XML reader cannot be set up";
            reader_.reset();
        }
    }

    bool ok() const { return reader_ && error_.empty(); }
    const std::string& error() const { return error_; }

    // Next node; false at the end or on a fault (error() says which).
    bool next(XmlNodeType& type) {
        const HRESULT hr = reader_.get()->Read(&type);
        if (hr == S_OK) {
            return true;
        }
        if (hr != S_FALSE) {
            error_ = "the document is not well formed";
        }
        return false;
    }

    std::string qualified_name(std::string_view common_ns, std::string_view vendor_ns) {
        const WCHAR* local = nullptr;
        UINT local_len = 0;
        const WCHAR* uri = nullptr;
        UINT uri_len = 0;
        reader_.get()->GetLocalName(&local, &local_len);
        reader_.get()->GetNamespaceUri(&uri, &uri_len);
        const std::string ns = to_utf8(uri, uri_len);
        const std::string name = to_utf8(local, local_len);
        if (ns.empty()) {
            return name;
        }
        if (ns == common_ns) {
            return "ivec:" + name;
        }
        if (ns == vendor_ns) {
            return "vvt:" + name;
        }
        return "{" + ns + "}" + name;
    }

    std::string value() {
        const WCHAR* v = nullptr;
        UINT len = 0;
        reader_.get()->GetValue(&v, &len);
        return to_utf8(v, len);
    }

    // The value of an attribute without namespace, if the current element has it.
    std::optional<std::string> attribute(const wchar_t* name) {
        std::optional<std::string> out;
        if (reader_.get()->MoveToAttributeByName(name, nullptr) == S_OK) {
            out = value();
        }
        reader_.get()->MoveToElement();
        return out;
    }

    bool empty_element() { return reader_.get()->IsEmptyElement() != FALSE; }

private:
    qelwin::unique_com<IStream> stream_;
    qelwin::unique_com<IXmlReader> reader_;
    std::string error_;
};

} // namespace

const std::string* CommandRequest::param(std::string_view name) const {
    for (const auto& [k, v] : params) {
        if (k == name) {
            return &v;
        }
    }
    return nullptr;
}

RequestReadResult read_command_request(std::string_view xml, std::string_view common_ns,
                                       std::string_view vendor_ns) {
    RequestReadResult result;
    Reader reader(xml);
    if (!reader.ok()) {
        result.error = reader.error();
        return result;
    }
    CommandRequest request;
    bool have_param_set = false;
    bool have_operation = false;
    std::vector<Element> open;
    XmlNodeType type{};
    while (reader.next(type)) {
        switch (type) {
        case XmlNodeType_Element: {
            Element e{reader.qualified_name(common_ns, vendor_ns), {}};
            const std::size_t depth = open.size();
            if (depth == 0 && e.name != "cmd") {
                result.error = "the root element is not cmd";
                return result;
            }
            if (depth == 2 && open[1].name == "ivec:contents" && e.name == "ivec:param_set") {
                if (auto st = reader.attribute(L"servicetype")) {
                    request.service_type = *st;
                }
                have_param_set = true;
            }
            open.push_back(std::move(e));
            if (reader.empty_element()) {
                type = XmlNodeType_EndElement;
            } else {
                break;
            }
            [[fallthrough]];
        }
        case XmlNodeType_EndElement: {
            if (open.empty()) {
                result.error = "unbalanced end tag";
                return result;
            }
            Element e = std::move(open.back());
            open.pop_back();
            const std::size_t depth = open.size();
            if (depth == 2 && open[1].name == "ivec:contents" && e.name == "ivec:operation") {
                request.operation = trim(e.text);
                result.operation = request.operation;
                have_operation = true;
            } else if (depth >= 3 && open[2].name == "ivec:param_set") {
                std::string name;
                for (std::size_t i = 3; i < open.size(); ++i) {
                    name += open[i].name + "/";
                }
                name += e.name;
                request.params.emplace_back(std::move(name), trim(e.text));
            }
            break;
        }
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        case XmlNodeType_Whitespace:
            if (!open.empty()) {
                open.back().text += reader.value();
            }
            break;
        default:
            break;
        }
    }
    if (!reader.error().empty()) {
        result.error = reader.error();
        return result;
    }
    if (!open.empty()) {
        result.error = "the document ends inside an element";
        return result;
    }
    if (!have_operation || !have_param_set) {
        result.error = "ivec:operation or ivec:param_set is missing";
        return result;
    }
    result.request = std::move(request);
    return result;
}

std::optional<std::vector<std::pair<std::string, std::string>>>
read_application_data(std::string_view xml) {
    Reader reader(xml);
    if (!reader.ok()) {
        return std::nullopt;
    }
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<Element> open;
    XmlNodeType type{};
    while (reader.next(type)) {
        switch (type) {
        case XmlNodeType_Element: {
            Element e{reader.qualified_name({}, {}), {}};
            if (open.empty() && e.name != "application_data") {
                return std::nullopt;
            }
            open.push_back(std::move(e));
            if (!reader.empty_element()) {
                break;
            }
            [[fallthrough]];
        }
        case XmlNodeType_EndElement: {
            if (open.empty()) {
                return std::nullopt;
            }
            Element e = std::move(open.back());
            open.pop_back();
            if (open.size() == 1) {
                values.emplace_back(std::move(e.name), std::move(e.text));
            }
            break;
        }
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        case XmlNodeType_Whitespace:
            if (!open.empty()) {
                open.back().text += reader.value();
            }
            break;
        default:
            break;
        }
    }
    if (!reader.error().empty() || !open.empty()) {
        return std::nullopt;
    }
    return values;
}

} // namespace printersim
