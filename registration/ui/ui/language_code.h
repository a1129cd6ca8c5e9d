// Language codes name a folder, so only plain short codes may reach a path.
#pragma once

#include <string>

namespace qelui {

constexpr std::size_t kMaxLanguageCodeLength = 16;

// True for 1 to kMaxLanguageCodeLength ASCII letters, digits, '-' or '_'.
bool IsValidLanguageCode(const std::wstring& code) noexcept;

// The code itself when it is valid, otherwise empty.
std::wstring SanitizeLanguageCode(const std::wstring& code);

} // namespace qelui
