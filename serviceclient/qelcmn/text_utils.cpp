#include "qelcmn/text_utils.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

#include "win/module_path.h"

namespace qelcmn {

std::wstring GetModuleFilePath() {
    const HMODULE exe = ::GetModuleHandleW(nullptr);
    if (exe == nullptr) {
        return {};
    }
    return qelwin::ModuleFileName(exe);
}

void RemoveFileSpec(std::wstring& path) {
    const auto last = path.rfind(L'\\');
    if (last == std::wstring::npos) {
        return;
    }
    // The backslash of a drive root such as C:\ belongs to the root and stays.
    const bool hasRoot = path.find(L'\\') == 2 && path[1] == L':';
    const std::size_t rootSlash = hasRoot ? 2 : std::wstring::npos;

    // Back over the run of backslashes that ends at the last one.
    std::size_t pos = last;
    while (pos > 0 && pos != rootSlash && path[pos - 1] == L'\\') {
        --pos;
    }
    path.erase(pos == rootSlash ? pos + 1 : pos);
}

std::vector<char> UrlEncode(const char* text, std::size_t length, bool spaceAsPercent) {
    std::vector<char> out;
    if (text == nullptr) {
        return out;
    }
    // The length only reserves room: the output grows with what is actually read, so a wrong
    // length can never make it write past its end.
    out.reserve(length < (SIZE_MAX - 1) / 3 ? length * 3 + 1 : 0);
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char* p = text; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_') {
            out.push_back(static_cast<char>(c));
        } else if (c == ' ' && !spaceAsPercent) {
            out.push_back('+');
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
    out.push_back('\0');
    return out;
}

std::string UrlEncodeToString(const std::string& text, bool spaceAsPercent) {
    const std::vector<char> encoded = UrlEncode(text.c_str(), text.size(), spaceAsPercent);
    return std::string(encoded.data(), encoded.size() - 1);
}

std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        throw std::range_error("Utf8ToWide: text too long");
    }
    const int inLength = static_cast<int>(text.size());
    const int needed =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), inLength, nullptr, 0);
    if (needed <= 0) {
        throw std::range_error("Utf8ToWide: invalid UTF-8");
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), inLength, wide.data(),
                          needed);
    return wide;
}

std::string WideToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        throw std::range_error("WideToUtf8: text too long");
    }
    const int inLength = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), inLength,
                                             nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        throw std::range_error("WideToUtf8: invalid UTF-16");
    }
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), inLength, narrow.data(),
                          needed, nullptr, nullptr);
    return narrow;
}

std::string WideToUtf8Replacing(const std::wstring& text) {
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

} // namespace qelcmn
