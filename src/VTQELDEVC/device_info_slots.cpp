// The device information query of one printer.
#include "device_info.h"
#include "vtesdev_lib.h"

namespace vtqeldevc {

int VTESDevLib::QueryDeviceInfo(const wchar_t* address, int portType, tagDeviceInfo* out) const {
    return vtqeldevc::QueryDeviceInfo(platform_, LibraryFolder(), address, portType, out);
}

int VTESDevLib::DoGetDeviceInfo(const wchar_t* address, int portType, tagDeviceInfo* out) {
    if (out == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    return QueryDeviceInfo(address, portType, out);
}

} // namespace vtqeldevc
