// Conversions where the library's text worlds meet: UTF-16 at the device interface, ANSI code
// page towards outside libraries and inside printer documents, hexadecimal and tagged text in the
// printer protocol.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vtqeldevc {

std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);

// Two hexadecimal digits per byte. An odd digit count or a character that is no hexadecimal
// digit gives nothing.
std::optional<std::vector<std::uint8_t>> HexTextToBytes(std::string_view text);
std::string BytesToHexUpper(std::span<const std::uint8_t> bytes);
std::string BytesToHexLower(std::span<const std::uint8_t> bytes);
// Bytes of each pair of digits, at most 64; a lone last digit is ignored, and conversion stops
// at the first pair that is not two hexadecimal digits.
std::vector<std::uint8_t> HexToBytes(std::string_view text);
// The hexadecimal digits of text, lower-cased.
std::string FilterHexLower(std::string_view text);

// Replaces output with the text between "<name>" and the first "</name>" after it, its entity
// and character references decoded (the documents we write escape their values, so a value read
// back and sent again stays as the printer holds it); leaves output unchanged when either tag is
// missing.
void ExtractTagText(std::string_view text, std::string_view name, std::string& output);

// Makes a value safe inside a CDATA section (a "]]>" in it is split across two sections).
std::string CdataSafe(std::string_view value);

struct KeyFields {
    std::uint32_t mode;
    std::uint32_t selector;
};
// vvt:ijdatakey7: exactly 16 hexadecimal digits, the cipher mode and the cipher selector as two
// 8-digit fields. Anything else does not split.
std::optional<KeyFields> SplitKeyText(std::string_view text);

} // namespace vtqeldevc
