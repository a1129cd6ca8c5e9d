#include "ui/language_code.h"

#include <algorithm>

namespace qelui {

bool IsValidLanguageCode(const std::wstring& code) noexcept {
    if (code.empty() || code.size() > kMaxLanguageCodeLength) {
        return false;
    }
    return std::all_of(code.begin(), code.end(), [](wchar_t c) {
        return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
               c == L'-' || c == L'_';
    });
}

std::wstring SanitizeLanguageCode(const std::wstring& code) {
    return IsValidLanguageCode(code) ? code : std::wstring();
}

} // namespace qelui
