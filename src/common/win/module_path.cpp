#include "win/module_path.h"

#include <vector>

namespace qelwin {

std::wstring ModuleFileName(HMODULE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD written = ::GetModuleFileNameW(module, buffer.data(), size);
        if (written == 0) {
            return {};
        }
        // A full buffer means the path may have been cut: try again with more room.
        if (written < size) {
            return std::wstring(buffer.data(), written);
        }
        if (buffer.size() >= 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

HMODULE ModuleFromAddress(const void* address) noexcept {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(address), &module)) {
        return nullptr;
    }
    return module;
}

std::wstring ThisModuleFolder() {
    static const int anchor = 0;
    const HMODULE module = ModuleFromAddress(&anchor);
    if (module == nullptr) {
        return {};
    }
    std::wstring path = ModuleFileName(module);
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return {};
    }
    path.resize(slash);
    return path;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) {
        return name;
    }
    if (folder.back() == L'\\' || folder.back() == L'/') {
        return folder + name;
    }
    return folder + L'\\' + name;
}

} // namespace qelwin
