// Move-only owners of CryptoAPI provider, key and hash handles.
#pragma once

#include <windows.h>

#include <wincrypt.h>

#include "win/unique_any.h"

namespace vtqeldevc {
namespace detail {
inline void release_provider(HCRYPTPROV provider) noexcept {
    ::CryptReleaseContext(provider, 0);
}
inline void destroy_key(HCRYPTKEY key) noexcept {
    ::CryptDestroyKey(key);
}
inline void destroy_hash(HCRYPTHASH hash) noexcept {
    ::CryptDestroyHash(hash);
}
} // namespace detail

using unique_hcryptprov = qelwin::unique_any<HCRYPTPROV, detail::release_provider>;
using unique_hcryptkey = qelwin::unique_any<HCRYPTKEY, detail::destroy_key>;
using unique_hcrypthash = qelwin::unique_any<HCRYPTHASH, detail::destroy_hash>;

} // namespace vtqeldevc
