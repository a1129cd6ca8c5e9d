// The binding of the USB wrapper vtwidwus, loaded from the library's own folder for one device
// operation: its ten entries that this library uses, its instance, and the rows kept from the
// last access-point search.
#pragma once

#include "bound_library.h"

#include <iwrapsnmpoverusb/iwrapsnmpoverusb.h>

#include <vector>

namespace vtqeldevc {

// All ten are required, even the two that are never called; the cancel and SET-and-wait
// exports are not bound.
// clang-format off
#define VTQELDEVC_WUS_ENTRIES(X)          \
    X(VTWIDWUS_CreateInstance)            \
    X(VTWIDWUS_DestroyInstance)           \
    X(VTWIDWUS_Search)                    \
    X(VTWIDWUS_SetTimeout)                \
    X(VTWIDWUS_GetInfo)                   \
    X(VTWIDWUS_SetInfo)                   \
    X(VTWIDWUS_ApSearch)                  \
    X(VTWIDWUS_ApSearchAndWait)           \
    X(VTWIDWUS_ApSearchExecuteWithParams) \
    X(VTWIDWUS_GetApSearchResultInfoList)
// clang-format on

struct WusApi {
    VTQELDEVC_WUS_ENTRIES(VTQELDEVC_DECLARE_ENTRY)
    VTQELDEVC_ENTRY_VISITOR(VTQELDEVC_WUS_ENTRIES)
};

inline constexpr wchar_t kVtwidwusFile[] = L"vtwidwus.dll";

class VtWidwusLib {
public:
    explicit VtWidwusLib(const Platform& platform) noexcept : library_(platform.Loader()) {}

    // 0; -4 folder null or empty; -2 not loaded; -3 an entry missing; -1 no instance. What a
    // failed load left stays until Release.
    int Load(const wchar_t* folder) { return library_.Load(folder, kVtwidwusFile); }
    // Destroys the instance and frees the module; idempotent (also run by the destructor).
    void Release() noexcept { library_.Release(); }

    bool ready() const noexcept { return library_.ready(); }
    bool loaded() const noexcept { return library_.loaded(); }
    const WusApi& api() const noexcept { return library_.api(); }
    VTWIDWUS_INSTANCE instance() const noexcept { return library_.instance(); }

    // Rows of the last access-point search, filled and read by the access-point operations.
    std::vector<tagUsbSnmpApSearchResultInfo>& kept_rows() noexcept { return kept_rows_; }

private:
    InstanceLibrary<WusApi, &WusApi::VTWIDWUS_CreateInstance, &WusApi::VTWIDWUS_DestroyInstance>
        library_;
    std::vector<tagUsbSnmpApSearchResultInfo> kept_rows_;
};

} // namespace vtqeldevc
