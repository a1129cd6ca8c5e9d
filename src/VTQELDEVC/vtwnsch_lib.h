// The binding of the network search library vtwidsd, loaded from the library's own folder for
// one network search. A cancel comes from another thread while the search runs: it reaches the
// instance through a small lock that the search's set-up and tear-down share with it, and that
// is never held while the search itself runs.
#pragma once

#include "bound_library.h"

#include <vtwidsd/vtwidsd_api.h>

#include <windows.h>

namespace vtqeldevc {

// clang-format off
#define VTQELDEVC_WNSCH_ENTRIES(X) \
    X(VTWNSCH_CreateInstance)      \
    X(VTWNSCH_DestroyInstance)     \
    X(VTWNSCH_OptSetting)          \
    X(VTWNSCH_Search)              \
    X(VTWNSCH_SearchByIpv6)        \
    X(VTWNSCH_CancelSearch)        \
    X(VTWNSCH_EnumSearchInfo)
// clang-format on

struct WnschApi {
    VTQELDEVC_WNSCH_ENTRIES(VTQELDEVC_DECLARE_ENTRY)
    VTQELDEVC_ENTRY_VISITOR(VTQELDEVC_WNSCH_ENTRIES)
};

inline constexpr wchar_t kVtwidsdFile[] = L"vtwidsd.dll";

class VtWnschLib {
public:
    explicit VtWnschLib(const Platform& platform) noexcept : library_(platform.Loader()) {}
    ~VtWnschLib() { Release(); }
    VtWnschLib(const VtWnschLib&) = delete;
    VtWnschLib& operator=(const VtWnschLib&) = delete;

    // Loads the library, binds its seven entries and makes an instance, which a cancel can
    // reach from then on. kLibraryLoaded, or the failure with everything released again.
    int Load(const wchar_t* folder);
    // Destroys the instance and frees the module once no cancel is using them; idempotent.
    void Release() noexcept;
    // Asks a running search to stop; nothing happens while no instance exists.
    void Cancel() noexcept;

    // For the thread that loaded the library, between Load and Release.
    const WnschApi& api() const noexcept { return library_.api(); }
    VTWNSCH_INSTANCE instance() const noexcept { return instance_; }

private:
    SRWLOCK lock_ = SRWLOCK_INIT; // guards the published instance against its destruction
    BoundLibrary<WnschApi> library_;
    VTWNSCH_INSTANCE instance_ = nullptr;
};

} // namespace vtqeldevc
