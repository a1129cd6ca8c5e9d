// Reading texts from the registry with their real size and a guaranteed terminator.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qelinfo {

// The REG_SZ value valueName of root\subKey, or nothing when the key or value is missing, of
// another type (an expandable text included) or unreadable. A text stored without its
// terminating null is read whole.
std::optional<std::wstring> ReadRegistryText(HKEY root, const std::wstring& subKey,
                                             const std::wstring& valueName);

} // namespace qelinfo
