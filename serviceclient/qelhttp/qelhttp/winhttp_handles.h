// Owners of WinHTTP handles.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include "win/unique_any.h"

namespace qelhttp {

namespace detail {
inline void close_internet(HINTERNET h) noexcept {
    ::WinHttpCloseHandle(h);
}
} // namespace detail

using unique_hinternet = qelwin::unique_any<HINTERNET, detail::close_internet>;

} // namespace qelhttp
