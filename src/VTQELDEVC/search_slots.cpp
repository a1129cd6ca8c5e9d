// The printer search on the network and on USB, and its device list.
#include "vtesdev_lib.h"

namespace vtqeldevc {

int VTESDevLib::DoSearchDevices(int*, int) {
    return VTESDEV_FAILED; // not built yet
}

int VTESDevLib::DoCancelSearch() {
    return VTESDEV_OK;
}

int VTESDevLib::DoGetDeviceList(tagDeviceInfo*, int) {
    return VTESDEV_FAILED; // not built yet
}

} // namespace vtqeldevc
