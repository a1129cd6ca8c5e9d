// Move-only owners of Windows handles and other resources released by a C function.
#pragma once

#include <windows.h>

#include <bcrypt.h>
#include <wincrypt.h>

#include <utility>

namespace qelwin {

// The "nothing held" value of a resource type: a null value unless a type says otherwise.
template <typename T> struct null_invalid {
    static T value() noexcept { return T{}; }
};
struct invalid_handle_value {
    static HANDLE value() noexcept { return INVALID_HANDLE_VALUE; }
};

// Owns one value of type T and releases it with Close unless it is the invalid value.
template <typename T, auto Close, typename InvalidTraits = null_invalid<T>> class unique_any {
public:
    using pointer = T;

    unique_any() noexcept = default;
    explicit unique_any(T value) noexcept : value_(value) {}
    ~unique_any() { reset(); }

    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;

    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Invalid(); }

    // Releases the current value and takes ownership of a new one.
    void reset(T value = Invalid()) noexcept {
        T old = std::exchange(value_, value);
        if (old != Invalid()) {
            Close(old);
        }
    }

    [[nodiscard]] T release() noexcept { return std::exchange(value_, Invalid()); }

    // For out-parameters: releases what is held and exposes the storage.
    T* put() noexcept {
        reset();
        return &value_;
    }

private:
    static T Invalid() noexcept { return InvalidTraits::value(); }

    T value_ = Invalid();
};

namespace detail {
inline void close_handle(HANDLE h) noexcept {
    ::CloseHandle(h);
}
inline void free_library(HMODULE m) noexcept {
    ::FreeLibrary(m);
}
inline void reg_close_key(HKEY k) noexcept {
    ::RegCloseKey(k);
}
inline void global_free(HGLOBAL g) noexcept {
    ::GlobalFree(g);
}
inline void local_free(HLOCAL l) noexcept {
    ::LocalFree(l);
}
inline void destroy_window(HWND w) noexcept {
    ::DestroyWindow(w);
}
inline void delete_object(HGDIOBJ o) noexcept {
    ::DeleteObject(o);
}
inline void bcrypt_close_algorithm(BCRYPT_ALG_HANDLE h) noexcept {
    ::BCryptCloseAlgorithmProvider(h, 0);
}
inline void bcrypt_destroy_key(BCRYPT_KEY_HANDLE k) noexcept {
    ::BCryptDestroyKey(k);
}
inline void bcrypt_destroy_hash(BCRYPT_HASH_HANDLE h) noexcept {
    ::BCryptDestroyHash(h);
}
inline void crypt_release_context(HCRYPTPROV p) noexcept {
    ::CryptReleaseContext(p, 0);
}
inline void crypt_destroy_hash(HCRYPTHASH h) noexcept {
    ::CryptDestroyHash(h);
}
inline void crypt_destroy_key(HCRYPTKEY k) noexcept {
    ::CryptDestroyKey(k);
}
template <typename Interface> void com_release(Interface* p) noexcept {
    p->Release();
}
inline void release_mutex_and_close(HANDLE h) noexcept {
    ::ReleaseMutex(h);
    ::CloseHandle(h);
}
} // namespace detail

using unique_handle = unique_any<HANDLE, detail::close_handle>;
using unique_file = unique_any<HANDLE, detail::close_handle, invalid_handle_value>;
using unique_hmodule = unique_any<HMODULE, detail::free_library>;
using unique_hkey = unique_any<HKEY, detail::reg_close_key>;
using unique_hglobal = unique_any<HGLOBAL, detail::global_free>;
using unique_hlocal = unique_any<HLOCAL, detail::local_free>;
using unique_hwnd = unique_any<HWND, detail::destroy_window>;
using unique_hgdiobj = unique_any<HGDIOBJ, detail::delete_object>;

// Cryptography: BCrypt (link bcrypt) and CryptoAPI (link advapi32).
using unique_bcrypt_algorithm = unique_any<BCRYPT_ALG_HANDLE, detail::bcrypt_close_algorithm>;
using unique_bcrypt_key = unique_any<BCRYPT_KEY_HANDLE, detail::bcrypt_destroy_key>;
using unique_bcrypt_hash = unique_any<BCRYPT_HASH_HANDLE, detail::bcrypt_destroy_hash>;
using unique_hcryptprov = unique_any<HCRYPTPROV, detail::crypt_release_context>;
using unique_hcrypthash = unique_any<HCRYPTHASH, detail::crypt_destroy_hash>;
using unique_hcryptkey = unique_any<HCRYPTKEY, detail::crypt_destroy_key>;

// One reference to a COM object, released with the owner.
template <typename Interface>
using unique_com = unique_any<Interface*, detail::com_release<Interface>>;

// Holds an owned mutex: released, then closed.
using unique_mutex_ownership = unique_any<HANDLE, detail::release_mutex_and_close>;

// A critical section owned for the life of the object. It needs nothing of the threads library
// (std::mutex may leave an event with it), so a DLL that links that library statically gives
// everything back when it is unloaded.
class critical_section {
public:
    critical_section() noexcept { ::InitializeCriticalSection(&cs_); }
    ~critical_section() { ::DeleteCriticalSection(&cs_); }
    critical_section(const critical_section&) = delete;
    critical_section& operator=(const critical_section&) = delete;

    CRITICAL_SECTION& get() noexcept { return cs_; }

private:
    CRITICAL_SECTION cs_;
};

// Leaves a critical section when it goes out of scope.
class critical_section_guard {
public:
    explicit critical_section_guard(CRITICAL_SECTION& cs) noexcept : cs_(cs) {
        ::EnterCriticalSection(&cs_);
    }
    ~critical_section_guard() { ::LeaveCriticalSection(&cs_); }
    critical_section_guard(const critical_section_guard&) = delete;
    critical_section_guard& operator=(const critical_section_guard&) = delete;

private:
    CRITICAL_SECTION& cs_;
};

} // namespace qelwin
