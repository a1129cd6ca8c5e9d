// The binding of the outside USB device library vtwiduns, loaded from the library's own folder
// for one device operation: it reaches USB printers that the USB wrapper does not list, runs
// their access-point scan and writes their wireless settings. Everything that passes is text in
// fixed cells.
#pragma once

#include "bound_library.h"

#include <vtwiduns/vtwiduns_api.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vtqeldevc {

// All twelve are required; OptSetting, GetDeviceId, CommEndNotUnLock and UnLock are never
// called.
// clang-format off
#define VTQELDEVC_UNS_ENTRIES(X) \
    X(VTWIDUNS_CreateInstance)   \
    X(VTWIDUNS_DestroyInstance)  \
    X(VTWIDUNS_OptSetting)       \
    X(VTWIDUNS_Search)           \
    X(VTWIDUNS_GetDeviceId)      \
    X(VTWIDUNS_CommStart)        \
    X(VTWIDUNS_CommEnd)          \
    X(VTWIDUNS_GetInfo)          \
    X(VTWIDUNS_SetInfo)          \
    X(VTWIDUNS_Control)          \
    X(VTWIDUNS_CommEndNotUnLock) \
    X(VTWIDUNS_UnLock)
// clang-format on

struct UnsApi {
    VTQELDEVC_UNS_ENTRIES(VTQELDEVC_DECLARE_ENTRY)
    VTQELDEVC_ENTRY_VISITOR(VTQELDEVC_UNS_ENTRIES)
};

inline constexpr wchar_t kVtwidunsFile[] = L"vtwiduns.dll";

// The text of cell index of a record of cells, never read past the cell or the record.
std::string_view CellText(std::string_view record, std::size_t index) noexcept;

// One access point of the last scan: 13 cells.
struct UnsAccessPoint {
    std::array<char, VTWIDUNS_ACCESS_POINT_CELLS * VTWIDUNS_CELL_BYTES> cells{};

    std::string_view Cell(std::size_t index) const noexcept {
        return CellText({cells.data(), cells.size()}, index);
    }
    std::string_view HexSsid() const noexcept { return Cell(0); }
    std::string_view Signal() const noexcept { return Cell(3); }
    bool Secured() const noexcept { return Cell(6) == "1" || Cell(9) == "1"; }
};

// True when a channel list (decimal numbers separated by white space) holds a 5 GHz channel,
// 36 to 165.
bool ListsFiveGhzChannel(std::string_view channels);

// The key as the settings block carries it: each byte XORed with the mask shared with the
// library, as two upper-case hexadecimal digits.
std::string MaskKey(std::string_view key);

class VtWidUnsLib {
public:
    explicit VtWidUnsLib(Platform platform = {});

    // 0; -4 folder null or empty; -2 not loaded; -3 an entry missing; -1 no instance. What a
    // failed load left stays until Release.
    int Load(const wchar_t* folder) { return library_.Load(folder, kVtwidunsFile); }
    // Destroys the instance and frees the module; idempotent (also run by the destructor).
    void Release() noexcept { library_.Release(); }

    // Runs the printer's access-point scan and keeps its secured access points. 0; -4 key null;
    // -7 no conversation could be started (worth another try); -1 the scan could not be run;
    // -6 the printer reported no access point.
    int SearchAccessPoints(const char* deviceKey);
    // Writes the kept access point named ssid, with key, into the printer and waits for it to
    // take them. 0; -4 an argument null; -6 ssid not among the kept access points; -1 the
    // conversation could not be started, the key does not fit or the write failed.
    int ApplyWirelessSettings(const char* deviceKey, const char* ssid, const char* key);

    const std::vector<UnsAccessPoint>& access_points() const noexcept { return access_points_; }
    bool ready() const noexcept { return library_.ready(); }
    bool loaded() const noexcept { return library_.loaded(); }
    const UnsApi& api() const noexcept { return library_.api(); }
    VTWIDUNS_INSTANCE instance() const noexcept { return library_.instance(); }

private:
    Platform platform_;
    InstanceLibrary<UnsApi, &UnsApi::VTWIDUNS_CreateInstance, &UnsApi::VTWIDUNS_DestroyInstance>
        library_;
    std::vector<UnsAccessPoint> access_points_;
};

} // namespace vtqeldevc
