// The grammar of values in the world text: words with "quoted" parts, texts, numbers, yes/no.
#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qelworld::text {

// Without the blanks (and a carriage return) around it.
std::string_view Trim(std::string_view s);

// Blank-separated words; "double quotes" keep blanks, and \" and \\ stand for themselves
// inside them. Nothing, with error set, for a quote that is not closed or runs into other text.
std::optional<std::vector<std::string>> Words(std::string_view text, std::string& error);
// The word as Words reads it back: quoted when it is empty or holds blanks, quotes or backslashes.
std::string Quote(std::string_view text);
// A text value: the rest of the line, or one quoted text.
std::optional<std::string> TextOf(std::string_view value, std::string& error);

// A decimal number from low to high, nothing else.
template <typename T>
std::optional<T> Number(std::string_view text, long long low, long long high) {
    long long n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || n < low ||
        n > high) {
        return std::nullopt;
    }
    return static_cast<T>(n);
}
std::string NumberError(std::string_view text, long long low, long long high);

std::optional<bool> YesNo(std::string_view text);
const char* YesNoText(bool value);

} // namespace qelworld::text
