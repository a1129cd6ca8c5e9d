// Paths of the running program, URL form encoding and UTF-8 conversion.
#pragma once

#include <string>
#include <vector>

namespace qelcmn {

// Full path of the program's executable; empty when it cannot be read.
std::wstring GetModuleFilePath();

// Cuts a path in place to its folder: C:\dir\sub\\prog.exe becomes C:\dir\sub, C:\prog.exe
// becomes C:\ and a path without a backslash stays as it is.
void RemoveFileSpec(std::wstring& path);

// URL form encoding of UTF-8 text read up to its first NUL byte: letters, digits, "-", "." and
// "_" are kept, a space becomes "+" (or "%20" when asked), every other byte "%XX". The result
// ends with one NUL byte; a null text gives an empty buffer. The length is only a size hint.
std::vector<char> UrlEncode(const char* text, std::size_t length, bool spaceAsPercent = false);

// The encoded text of UrlEncode without its terminating NUL.
std::string UrlEncodeToString(const std::string& text, bool spaceAsPercent = false);

// UTF-8 to UTF-16; throws std::range_error for input that is not valid UTF-8.
std::wstring Utf8ToWide(const std::string& text);

// UTF-16 to UTF-8; throws std::range_error for unpaired surrogates.
std::string WideToUtf8(const std::wstring& text);

// UTF-16 to UTF-8 for texts that come from printers, the registry or the user and go into
// requests: an unpaired surrogate becomes U+FFFD instead of failing the whole request.
std::string WideToUtf8Replacing(const std::wstring& text);

} // namespace qelcmn
