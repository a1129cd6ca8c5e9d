// Owners of CryptoAPI handles and COM references for the simulator.
#pragma once

#include "win/unique_any.h"

#include <windows.h>
#include <wincrypt.h>
#include <unknwn.h>

namespace printersim {

namespace detail {
inline void release_context(HCRYPTPROV p) noexcept {
    ::CryptReleaseContext(p, 0);
}
inline void destroy_key(HCRYPTKEY k) noexcept {
    ::CryptDestroyKey(k);
}
inline void destroy_hash(HCRYPTHASH h) noexcept {
    ::CryptDestroyHash(h);
}
template <typename Interface> void release(Interface* p) noexcept {
    p->Release();
}
} // namespace detail

using crypt_provider = qelwin::unique_any<HCRYPTPROV, detail::release_context>;
using crypt_key = qelwin::unique_any<HCRYPTKEY, detail::destroy_key>;
using crypt_hash = qelwin::unique_any<HCRYPTHASH, detail::destroy_hash>;
template <typename Interface>
using com_ref = qelwin::unique_any<Interface*, detail::release<Interface>>;

} // namespace printersim
