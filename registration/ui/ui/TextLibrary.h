// The per-language library of every text the user sees, looked up by number.
#pragma once

#include <windows.h>

#include <string>

#include "win/unique_any.h"

namespace qelui {

class TextLibrary {
public:
    // Longest text handed out; longer table entries are cut to this many characters.
    static constexpr int kMaxTextLength = 2047;

    TextLibrary() = default;
    TextLibrary(const TextLibrary&) = delete;
    TextLibrary& operator=(const TextLibrary&) = delete;
    TextLibrary(TextLibrary&&) noexcept = default;
    TextLibrary& operator=(TextLibrary&&) noexcept = default;
    ~TextLibrary() = default;

    // Loads <program folder>\<language>\qelreg.dll, falling back to the "EN" folder. A language
    // code that is not a plain short code counts as empty. Only the first successful load of a
    // run counts: once a library is held, later calls keep it and return false.
    bool Load(const std::wstring& languageCode);

    // The same, below the given folder instead of the program's own.
    bool LoadFrom(const std::wstring& folder, const std::wstring& languageCode);

    // The text with that number; empty when there is no such entry or no library.
    std::wstring LoadText(int id) const;

    void Unload() noexcept;

    bool IsLoaded() const noexcept { return static_cast<bool>(module_); }

private:
    qelwin::unique_hmodule module_;
};

} // namespace qelui
