#include "reply_writer.h"

namespace printersim {
namespace {

constexpr const char* kComment = "<!-- state: ready > idle -->";

struct Writer {
    const ReplyStyle& style;
    std::string common_prefix;
    std::string vendor_prefix;
    std::string out;

    std::string map_name(const std::string& name) const {
        if (name.rfind("ivec:", 0) == 0) {
            return common_prefix + ":" + name.substr(5);
        }
        if (name.rfind("vvt:", 0) == 0) {
            return vendor_prefix + ":" + name.substr(4);
        }
        return name;
    }

    void comment() {
        if (style.comments_with_gt) {
            out += kComment;
        }
    }

    void node(const ReplyNode& n) {
        const std::string name = map_name(n.name);
        out += "<" + name;
        for (const auto& [k, v] : n.attributes) {
            out += " " + k + "=\"" + xml_escape(v) + "\"";
        }
        out += ">";
        if (n.cdata) {
            out += "<![CDATA[" + n.text + "]]>";
        } else {
            out += xml_escape(n.text);
        }
        for (const auto& c : n.children) {
            comment();
            node(c);
        }
        out += "</" + name + ">";
    }
};

} // namespace

std::string xml_escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string write_reply(const std::string& operation, const std::string& service_type,
                        const std::vector<ReplyNode>& params, const std::string& common_ns,
                        const std::string& vendor_ns, const ReplyStyle& style) {
    const bool other = style.namespaces == ReplyNamespaces::OtherPrefix;
    Writer w{style, other ? "c" : "ivec", other ? "v" : "vvt", {}};
    w.out = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";
    w.comment();
    w.out += "<cmd";
    switch (style.namespaces) {
    case ReplyNamespaces::Usual:
    case ReplyNamespaces::OtherPrefix:
        w.out += " xmlns:" + w.common_prefix + "=\"" + common_ns + "\"";
        w.out += " xmlns:" + w.vendor_prefix + "=\"" + vendor_ns + "\"";
        break;
    case ReplyNamespaces::WrongUri:
        w.out += " xmlns:ivec=\"" + common_ns + "other/\"";
        w.out += " xmlns:vvt=\"" + vendor_ns + "other/\"";
        break;
    case ReplyNamespaces::Undeclared:
        break;
    }
    w.out += ">";
    w.comment();
    const ReplyNode contents{
        "ivec:contents",
        {},
        {},
        {ReplyNode{"ivec:operation", operation, {}, {}, false},
         ReplyNode{"ivec:param_set", {}, {{"servicetype", service_type}}, params, false}},
        false};
    w.node(contents);
    w.comment();
    w.out += "</cmd>";
    return w.out;
}

} // namespace printersim
