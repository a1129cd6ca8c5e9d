#include "win/registry_text.h"

#include <vector>

#include "win/registry_view.h"
#include "win/unique_any.h"

namespace qelwin {

namespace {

// The registry caps a value near 1 MB; anything claiming more is not a text we want.
constexpr DWORD kMaxValueBytes = 1024 * 1024;

// Both text types, read as stored: an expandable text is not expanded.
constexpr DWORD kTextTypes = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;

} // namespace

std::optional<std::wstring> ReadRegistryText(HKEY root, const std::wstring& subKey,
                                             const std::wstring& valueName) {
    unique_hkey key;
    if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | kRegistryView, key.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    // The size may change between the two calls when someone writes the value; ask again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD bytes = 0;
        LSTATUS status = ::RegGetValueW(key.get(), nullptr, valueName.c_str(), kTextTypes, nullptr,
                                        nullptr, &bytes);
        if (status != ERROR_SUCCESS || bytes > kMaxValueBytes) {
            return std::nullopt;
        }
        // Room for the terminator that RegGetValueW adds when the stored text lacks one.
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = ::RegGetValueW(key.get(), nullptr, valueName.c_str(), kTextTypes, nullptr,
                                buffer.data(), &bytes);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS) {
            return std::nullopt;
        }
        buffer.back() = L'\0';
        return std::wstring(buffer.data());
    }
    return std::nullopt;
}

} // namespace qelwin
