// Full paths of loaded modules, without the 260-character limit.
#pragma once

#include <windows.h>

#include <string>

namespace qelwin {

// The full path of the module, or an empty string when it cannot be read. The buffer grows
// until the path fits, so a long path is never cut.
std::wstring ModuleFileName(HMODULE module);

// The folder of the module that contains this function's caller's code (the EXE or the DLL that
// links this library), with no trailing backslash; empty on failure.
std::wstring ThisModuleFolder();

// The module that contains the given address (a function or variable of that module).
HMODULE ModuleFromAddress(const void* address) noexcept;

// Joins a folder and a file name with one backslash.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

} // namespace qelwin
