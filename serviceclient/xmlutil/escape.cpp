#include "xmlutil/escape.h"

namespace xmlutil {
namespace {

std::string EscapeXml(std::string_view text, bool inAttribute) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
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
            out += inAttribute ? "&quot;" : "\"";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

} // namespace

std::string EscapeXmlText(std::string_view text) {
    return EscapeXml(text, false);
}

std::string EscapeXmlAttribute(std::string_view text) {
    return EscapeXml(text, true);
}

std::string EscapeJsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                out += "\\u00";
                out.push_back(kHex[byte >> 4]);
                out.push_back(kHex[byte & 0x0F]);
            } else {
                out.push_back(c);
            }
        }
    }
    return out;
}

} // namespace xmlutil
