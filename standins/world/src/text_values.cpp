#include "text_values.h"

namespace qelworld::text {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<std::vector<std::string>> Words(std::string_view text, std::string& error) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i;
        }
        if (i == text.size()) {
            return words;
        }
        std::string word;
        if (text[i] == '"') {
            ++i;
            bool closed = false;
            while (i < text.size()) {
                const char c = text[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < text.size() && (text[i] == '"' || text[i] == '\\')) {
                    word += text[i++];
                } else {
                    word += c;
                }
            }
            if (!closed) {
                error = "a quoted text is not closed";
                return std::nullopt;
            }
            if (i < text.size() && text[i] != ' ' && text[i] != '\t') {
                error = "a quoted text runs into other text";
                return std::nullopt;
            }
        } else {
            while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
                word += text[i++];
            }
        }
        words.push_back(std::move(word));
    }
}

std::string Quote(std::string_view text) {
    const bool plain = !text.empty() && text.find_first_of(" \t\"\\") == std::string_view::npos;
    if (plain) {
        return std::string(text);
    }
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

std::optional<std::string> TextOf(std::string_view value, std::string& error) {
    if (value.empty() || value.front() != '"') {
        return std::string(value);
    }
    auto words = Words(value, error);
    if (!words) {
        return std::nullopt;
    }
    if (words->size() != 1) {
        error = "text after the quoted value";
        return std::nullopt;
    }
    return std::move(words->front());
}

std::string NumberError(std::string_view text, long long low, long long high) {
    return "'" + std::string(text) + "' is not a number from " + std::to_string(low) + " to " +
           std::to_string(high);
}

std::optional<bool> YesNo(std::string_view text) {
    if (text == "yes") {
        return true;
    }
    if (text == "no") {
        return false;
    }
    return std::nullopt;
}

const char* YesNoText(bool value) {
    return value ? "yes" : "no";
}

} // namespace qelworld::text
