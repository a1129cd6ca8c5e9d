#include "text_convert.h"

#include "xmlutil/escape.h"

#include <windows.h>

#include <climits>

namespace vtqeldevc {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string BytesToHex(std::span<const std::uint8_t> bytes, const char* digits) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (auto byte : bytes) {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 0x0f]);
    }
    return text;
}

} // namespace

std::wstring AnsiToWide(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    const int made = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), needed);
    if (made <= 0) {
        return {};
    }
    wide.resize(static_cast<std::size_t>(made));
    return wide;
}

std::string WideToAnsi(std::wstring_view text) {
    text = text.substr(0, text.find(L'\0'));
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int needed =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    const int made = ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, narrow.data(), needed,
                                           nullptr, nullptr);
    if (made <= 0) {
        return {};
    }
    narrow.resize(static_cast<std::size_t>(made));
    return narrow;
}

std::optional<std::vector<std::uint8_t>> HexTextToBytes(std::string_view text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const int high = HexValue(text[i]);
        const int low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::string BytesToHexUpper(std::span<const std::uint8_t> bytes) {
    return BytesToHex(bytes, "0123456789ABCDEF");
}

std::string BytesToHexLower(std::span<const std::uint8_t> bytes) {
    return BytesToHex(bytes, "0123456789abcdef");
}

std::vector<std::uint8_t> HexToBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < text.size() && bytes.size() < 64; i += 2) {
        const int high = HexValue(text[i]);
        const int low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) {
            break;
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::string FilterHexLower(std::string_view text) {
    std::string digits;
    for (char c : text) {
        const int value = HexValue(c);
        if (value >= 0) {
            digits.push_back("0123456789abcdef"[value]);
        }
    }
    return digits;
}

void ExtractTagText(std::string_view text, std::string_view name, std::string& output) {
    const std::string start_tag = "<" + std::string(name) + ">";
    const std::string end_tag = "</" + std::string(name) + ">";
    const std::size_t start = text.find(start_tag);
    if (start == std::string_view::npos) {
        return;
    }
    const std::size_t content = start + start_tag.size();
    const std::size_t end = text.find(end_tag, content);
    if (end == std::string_view::npos) {
        return;
    }
    output = xmlutil::UnescapeXml(text.substr(content, end - content));
}

std::string CdataSafe(std::string_view value) {
    std::string safe;
    std::size_t from = 0;
    while (true) {
        const std::size_t end = value.find("]]>", from);
        if (end == std::string_view::npos) {
            safe.append(value.substr(from));
            return safe;
        }
        // "]]" closes this section, ">" opens the next one.
        safe.append(value.substr(from, end + 2 - from));
        safe += "]]><![CDATA[";
        from = end + 2;
    }
}

std::optional<KeyFields> SplitKeyText(std::string_view text) {
    if (text.size() != 16) {
        return std::nullopt;
    }
    std::uint32_t fields[2] = {0, 0};
    for (std::size_t i = 0; i < 16; ++i) {
        const int value = HexValue(text[i]);
        if (value < 0) {
            return std::nullopt;
        }
        fields[i / 8] = (fields[i / 8] << 4) | static_cast<std::uint32_t>(value);
    }
    return KeyFields{fields[0], fields[1]};
}

} // namespace vtqeldevc
