// A small XML library that works on the document text in place: one scan notes where the value
// of each requested path lies, then the values are copied out (reading) or spliced into a copy of
// the text (filling). It knows the root element "cmd" and the namespace table, nothing more.
#pragma once

#include "global_memory.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vtqeldevc::xml {

// Results; callers only tell zero from non-zero.
inline constexpr int kOk = 0;
inline constexpr int kBadArgument = -2;
inline constexpr int kNoDeclaration = -3;
inline constexpr int kDeclarationNotAtStart = -4;
inline constexpr int kRunsIntoEnd = -5;
inline constexpr int kUnterminated = -6;
inline constexpr int kUnknownMarkup = -7;
inline constexpr int kBadAttribute = -8;
inline constexpr int kNoPath = -9;
inline constexpr int kMismatchedEndTag = -10;
inline constexpr int kNoMemory = -11;
inline constexpr int kDoesNotFit = -12;
inline constexpr int kBadRoot = -13;

// Status of a path entry after collection.
inline constexpr std::int32_t kStatusNotLookedUp = 0;
inline constexpr std::int32_t kStatusFound = 1;
inline constexpr std::int32_t kStatusNotFound = -101;
inline constexpr std::int32_t kStatusEmptyElement = -102;    // <a></a>
inline constexpr std::int32_t kStatusEmptyElementTag = -103; // <a/>
inline constexpr std::int32_t kStatusNoPath = kNoPath;

// Lets any element be the root; no caller of this library sets it.
inline constexpr std::uint32_t kFlagAnyRoot = 0x1000;

// Largest request this library writes.
inline constexpr std::size_t kFillCapacity = 4096;

struct PathEntry {
    GString path;
    std::uint32_t found_offset = 0;
    std::uint32_t found_length = 0;
    GString value;
    // A filling entry replaces its span even with an empty value, so that a template's
    // placeholder never reaches the printer; reading entries are never spliced.
    bool fills = false;
    std::int32_t status = kStatusNotLookedUp;
    // For kStatusEmptyElementTag: the element's name as written, for the end tag to be written.
    std::uint32_t name_offset = 0;
    std::uint32_t name_length = 0;
    // The span is the inside of a CDATA section: its text holds no references to decode.
    bool cdata = false;
};

struct XmlFillRequest {
    GString text; // owned copy; its size is the document length
    GVector<char> output;
    std::size_t output_capacity = 0;
    std::size_t output_length = 0;
    // After kDoesNotFit: the length the filled document would have had.
    std::size_t needed_length = 0;
    GVector<PathEntry> entries;
};

class XmlDoc;

struct XmlDocDeleter {
    void operator()(XmlDoc* doc) const noexcept;
};
using XmlDocPtr = std::unique_ptr<XmlDoc, XmlDocDeleter>;

// Makes a document over the request's text with one match record per entry.
int XmlDocCreate(const XmlFillRequest& request, XmlDocPtr& doc, std::uint32_t flags = 0) noexcept;
// Scans the whole document once; 0 when the root's end tag or the end of the text was reached
// without error.
int XmlDocParse(XmlDoc& doc) noexcept;
// Copies each entry's first occurrence into the entry and frees the occurrence lists.
int XmlDocCollect(XmlDoc& doc, XmlFillRequest& request) noexcept;
// Frees the document (also what XmlDocPtr does).
void XmlDocFree(XmlDoc* doc) noexcept;
// Offset just past the root's end tag, or 0 when the scan did not reach it.
std::size_t XmlDocRootEnd(const XmlDoc& doc) noexcept;
// Writes the filled document into the request's output buffer.
int XmlDocSerialize(XmlFillRequest& request) noexcept;

} // namespace vtqeldevc::xml
