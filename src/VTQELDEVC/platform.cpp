#include "platform.h"

#include "win/module_path.h"

namespace vtqeldevc {
namespace {

class SystemLoader final : public ModuleLoader {
public:
    HMODULE Load(const std::wstring& path) override { return ::LoadLibraryW(path.c_str()); }
    void* Find(HMODULE module, const char* name) noexcept override {
        return reinterpret_cast<void*>(::GetProcAddress(module, name));
    }
    void Free(HMODULE module) noexcept override { ::FreeLibrary(module); }
};

} // namespace

ModuleLoader& SystemModuleLoader() noexcept {
    static SystemLoader loader;
    return loader;
}

std::wstring ModuleFolder(HMODULE module) {
    if (module == nullptr) {
        return {};
    }
    std::wstring path = qelwin::ModuleFileName(module);
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash == 0) {
        return {};
    }
    path.resize(slash);
    return path;
}

} // namespace vtqeldevc
