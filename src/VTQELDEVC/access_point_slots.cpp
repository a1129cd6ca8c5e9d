// Access-point search and Wi-Fi setup through a USB-connected printer.
#include "vtesdev_lib.h"

namespace vtqeldevc {

int VTESDevLib::DoSearchAccessPoints(const DeviceConnection*, wchar_t*, int, wchar_t*, int) {
    return VTESDEV_AP_SEARCH_FAILED; // not built yet
}

int VTESDevLib::DoApplyAccessPoint(const DeviceConnection*, const wchar_t*, const wchar_t*) {
    return VTESDEV_FAILED; // not built yet
}

int VTESDevLib::DoGetAccessPointList(AccessPointEntry*, int*) {
    return VTESDEV_FAILED; // not built yet
}

} // namespace vtqeldevc
