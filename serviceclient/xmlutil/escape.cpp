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

struct NamedEntity {
    std::string_view name;
    char character;
};
constexpr NamedEntity kNamedEntities[] = {
    {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''},
};

// The code point of "#123" or "#x7B"; 0 when the digits are missing, bad or name no character.
char32_t CharacterReference(std::string_view body) {
    body.remove_prefix(1);
    int base = 10;
    if (!body.empty() && body.front() == 'x') {
        base = 16;
        body.remove_prefix(1);
    }
    if (body.empty()) {
        return 0;
    }
    char32_t value = 0;
    for (const char c : body) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return 0;
        }
        value = value * base + static_cast<char32_t>(digit);
        if (value > 0x10FFFF) {
            return 0;
        }
    }
    if (value >= 0xD800 && value <= 0xDFFF) {
        return 0;
    }
    return value;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Appends what the reference body (between "&" and ";") stands for; false when it stands for
// nothing.
bool AppendReference(std::string& out, std::string_view body) {
    if (body.starts_with('#')) {
        const char32_t c = CharacterReference(body);
        if (c == 0) {
            return false;
        }
        AppendUtf8(out, c);
        return true;
    }
    for (const auto& entity : kNamedEntities) {
        if (body == entity.name) {
            out.push_back(entity.character);
            return true;
        }
    }
    return false;
}

} // namespace

std::string UnescapeXml(std::string_view text) {
    // The longest reference worth reading: "#x10FFFF" with room for leading zeros.
    constexpr std::size_t kLongestBody = 16;
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) {
            break;
        }
        out.append(text.substr(i, amp - i));
        const std::size_t semicolon = text.substr(amp, kLongestBody + 2).find(';');
        if (semicolon != std::string_view::npos &&
            AppendReference(out, text.substr(amp + 1, semicolon - 1))) {
            i = amp + semicolon + 1;
        } else {
            out.push_back('&');
            i = amp + 1;
        }
    }
    out.append(text.substr(i));
    return out;
}

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
