#include "ui/TextLibrary.h"

#include <array>

#include "ui/language_code.h"
#include "win/module_path.h"

namespace qelui {

namespace {

constexpr wchar_t kLibraryName[] = L"qelreg.dll";
constexpr wchar_t kFallbackLanguage[] = L"EN";

std::wstring ProgramFolder() {
    std::wstring path = qelwin::ModuleFileName(nullptr);
    const auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        return {};
    }
    path.resize(slash);
    return path;
}

// The library only supplies strings: mapping it as a data file means no code of a library
// planted in a language folder ever runs in this process.
HMODULE LoadAsResources(const std::wstring& path) noexcept {
    return ::LoadLibraryExW(path.c_str(), nullptr,
                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

std::wstring LibraryPath(const std::wstring& folder, const std::wstring& language) {
    // An empty code names the library directly in the folder.
    return language.empty() ? qelwin::JoinPath(folder, kLibraryName)
                            : qelwin::JoinPath(qelwin::JoinPath(folder, language), kLibraryName);
}

} // namespace

bool TextLibrary::Load(const std::wstring& languageCode) {
    return LoadFrom(ProgramFolder(), languageCode);
}

bool TextLibrary::LoadFrom(const std::wstring& folder, const std::wstring& languageCode) {
    if (module_) {
        return false;
    }
    module_.reset(LoadAsResources(LibraryPath(folder, SanitizeLanguageCode(languageCode))));
    if (module_) {
        return true;
    }
    module_.reset(LoadAsResources(LibraryPath(folder, kFallbackLanguage)));
    return static_cast<bool>(module_);
}

std::wstring TextLibrary::LoadText(int id) const {
    if (!module_ || id < 0 || id > 0xFFFF) {
        return {};
    }
    std::array<wchar_t, kMaxTextLength + 1> buffer{};
    const int length = ::LoadStringW(module_.get(), static_cast<UINT>(id), buffer.data(),
                                     static_cast<int>(buffer.size()));
    if (length <= 0) {
        return {};
    }
    // The copy always ends in a null; a table entry may hold one earlier.
    return std::wstring(buffer.data());
}

void TextLibrary::Unload() noexcept {
    module_.reset();
}

} // namespace qelui
