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
    explicit VtWidwusLib(const Platform& platform)
        : platform_(platform), library_(platform.Loader()) {}

    // 0; -4 folder null or empty; -2 not loaded; -3 an entry missing; -1 no instance. What a
    // failed load left stays until Release.
    int Load(const wchar_t* folder) { return library_.Load(folder, kVtwidwusFile); }
    // Destroys the instance and frees the module; idempotent (also run by the destructor).
    void Release() noexcept { library_.Release(); }

    bool ready() const noexcept { return library_.ready(); }
    bool loaded() const noexcept { return library_.loaded(); }
    const WusApi& api() const noexcept { return library_.api(); }
    VTWIDWUS_INSTANCE instance() const noexcept { return library_.instance(); }

    // Runs the printer's access-point search (both bands it has, as a full scan) and keeps the
    // rows of secured access points. 0; -4 serial null; -1 the printer's infrastructure settings
    // could not be read; -6 the search failed.
    int ApSearch(const char* model, const char* serial);
    // Writes the kept access point named ssid, with key, into the printer's infrastructure
    // settings and waits for it to take them. 0; -6 ssid not among the kept rows; -1 the
    // settings could not be read or written.
    int ApplyAp(const char* model, const char* serial, const char* ssid, const char* key);

    // Rows of the last access-point search.
    const std::vector<tagUsbSnmpApSearchResultInfo>& kept_rows() const noexcept {
        return kept_rows_;
    }

private:
    Platform platform_;
    InstanceLibrary<WusApi, &WusApi::VTWIDWUS_CreateInstance, &WusApi::VTWIDWUS_DestroyInstance>
        library_;
    std::vector<tagUsbSnmpApSearchResultInfo> kept_rows_;
};

} // namespace vtqeldevc
