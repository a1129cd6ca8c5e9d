// The printer-ID request body and the reading of the server's answer.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "jsonutil/printer_id_response.h"
#include "qelcmn/text_utils.h"

namespace jsonutil {

// UTF-16 to UTF-8 for request bodies; an unpaired surrogate becomes U+FFFD instead of failing.
using qelcmn::WideToUtf8Replacing;

// {"serialNumber": "...", "macAddress": "...", "modelName": "...", "region": "..."} as UTF-8,
// values escaped as JSON strings (a quote in a serial number must not end the value).
std::string BuildPrinterIDRequestJson(const std::wstring& serialNumber,
                                      const std::wstring& macAddress, const std::wstring& modelName,
                                      const std::wstring& region);

// Finds every "key" : "value" pair the way the pattern
//   "([\S]+?)"\s*:\s*"((\s|\S)*?)"
// finds them when searched repeatedly from the end of the previous match: a quoted key without
// white space, a colon between optional white space, and a quoted value that ends at the next
// double quote. Escapes are not decoded; unquoted values are not seen. Runs in linear time.
void ScanQuotedPairs(
    std::wstring_view text,
    const std::function<void(std::wstring_view key, std::wstring_view value)>& onPair);

// Reads the UTF-8 answer body into the five known fields; a later pair of the same key wins.
// A body that is not valid UTF-8 gives an empty answer.
PrinterIDServerResponse ReadPrinterIDResponse(const std::string& body);

} // namespace jsonutil
