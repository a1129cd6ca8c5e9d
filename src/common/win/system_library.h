// A library of the Windows system folder, loaded for as long as its owner lives, with entries
// found by name or by ordinal. For system entry points that the cross toolchain has no import
// library for, or that a program must do without when the system lacks them.
#pragma once

#include "win/unique_any.h"

#include <windows.h>

namespace qelwin {

class SystemLibrary {
public:
    // Loads file from the system folder only; the library is missing when that fails.
    explicit SystemLibrary(const wchar_t* file) noexcept
        : module_(::LoadLibraryExW(file, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}

    bool loaded() const noexcept { return static_cast<bool>(module_); }

    // The entry typed as Fn (decltype(&::Entry)); null when the library or the entry is missing.
    template <typename Fn> Fn Find(const char* name) const noexcept {
        if (!module_) {
            return nullptr;
        }
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
    }
    template <typename Fn> Fn FindOrdinal(WORD ordinal) const noexcept {
        return Find<Fn>(MAKEINTRESOURCEA(ordinal));
    }

private:
    unique_hmodule module_;
};

} // namespace qelwin
