// Escaping of values that the system inserts into the XML and JSON documents it writes (cloud
// requests and printer commands). Works on UTF-8 or any ASCII-compatible narrow text; bytes of
// multi-byte sequences pass through unchanged, and text without special characters comes back
// as it was.
#pragma once

#include <string>
#include <string_view>

namespace xmlutil {

// Element text: "&", "<" and ">" become "&amp;", "&lt;" and "&gt;".
std::string EscapeXmlText(std::string_view text);

// Attribute value (in double quotes): as element text, and '"' becomes "&quot;".
std::string EscapeXmlAttribute(std::string_view text);

// The inside of a JSON string: '"' and '\' get a backslash, control characters below 0x20
// become \b, \f, \n, \r, \t or \u00XX.
std::string EscapeJsonString(std::string_view text);

} // namespace xmlutil
