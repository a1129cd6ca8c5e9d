// Escaping of values that the system inserts into the XML and JSON documents it writes (cloud
// requests and printer commands), and the decoding of values read back from such documents.
// Works on UTF-8 or any ASCII-compatible narrow text; bytes of multi-byte sequences pass through
// unchanged, and text without special characters comes back as it was.
#pragma once

#include <string>
#include <string_view>

namespace xmlutil {

// Element text: "&", "<" and ">" become "&amp;", "&lt;" and "&gt;".
std::string EscapeXmlText(std::string_view text);

// Attribute value (in double quotes): as element text, and '"' becomes "&quot;".
std::string EscapeXmlAttribute(std::string_view text);

// Element text or attribute value as written in a document: the five predefined entities and
// decimal or hexadecimal character references are decoded (a character above 0x7F as UTF-8, the
// documents' encoding). A reference that is not well formed or names no character is kept as
// written.
std::string UnescapeXml(std::string_view text);

// The inside of a JSON string: '"' and '\' get a backslash, control characters below 0x20
// become \b, \f, \n, \r, \t or \u00XX.
std::string EscapeJsonString(std::string_view text);

} // namespace xmlutil
