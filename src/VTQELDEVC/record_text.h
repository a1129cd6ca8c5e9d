// Texts in the fixed fields of records that callers and outside libraries hand in: read up to
// the first NUL but never past the field, since nothing guarantees the terminator is there.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace vtqeldevc {

template <typename Char> std::basic_string<Char> BoundedText(const Char* text, std::size_t field) {
    if (text == nullptr) {
        return {};
    }
    const Char* end = std::find(text, text + field, Char{});
    return std::basic_string<Char>(text, end);
}

template <typename Char, std::size_t N> std::basic_string<Char> FieldText(const Char (&field)[N]) {
    return BoundedText(field, N);
}

// Copies text into a field, cut to leave room for the terminator, and zeroes the rest.
template <typename Char, std::size_t N>
void CopyToField(Char (&field)[N], std::basic_string_view<Char> text) noexcept {
    const std::size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.data(), length, field);
    std::fill(field + length, field + N, Char{});
}

// Copies text into a caller's buffer of chars characters, cut to leave room for the terminator;
// a buffer of no characters is not written.
template <typename Char>
void CopyToBuffer(Char* out, int chars, std::basic_string_view<Char> text) noexcept {
    if (out == nullptr || chars <= 0) {
        return;
    }
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(chars) - 1);
    std::copy_n(text.data(), length, out);
    out[length] = Char{};
}

} // namespace vtqeldevc
