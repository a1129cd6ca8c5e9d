#include "lenient_utf8.h"

#include <windows.h>

#include <climits>

namespace kivutil::detail {

std::string ToUtf8(const std::wstring& text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX / 3)) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int needed =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return {};
    }
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    const int written = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed,
                                              nullptr, nullptr);
    utf8.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return utf8;
}

} // namespace kivutil::detail
