// The one reader of registry texts for the whole program.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qelwin {

// The text value valueName of root\subKey: a REG_SZ or REG_EXPAND_SZ value as stored (an
// expandable text is not expanded), whole whatever its length, and terminated even when it was
// stored without its terminating null. Nothing when the key or value is missing, unreadable or of
// any other type, so that callers fall back to their defaults.
std::optional<std::wstring> ReadRegistryText(HKEY root, const std::wstring& subKey,
                                             const std::wstring& valueName);

} // namespace qelwin
