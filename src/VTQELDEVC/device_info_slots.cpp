// The device information query of one printer.
#include "vtesdev_lib.h"

namespace vtqeldevc {

int VTESDevLib::DoGetDeviceInfo(const wchar_t*, int, tagDeviceInfo*) {
    return VTESDEV_FAILED; // not built yet
}

} // namespace vtqeldevc
