// The printer's command sequences of a registration: the qel job (selection, registered and
// created IDs, end), the agreement and the connectivity test.
#include "vtesdev_lib.h"

namespace vtqeldevc {

int VTESDevLib::DoSelectDevice(const wchar_t*, int) {
    return VTESDEV_FAILED; // not built yet
}

int VTESDevLib::DoGetRegisteredId(wchar_t*, int) {
    return VTESDEV_FAILED; // not built yet
}

int VTESDevLib::DoCreateId(const CreateIdRequest*, wchar_t*, int) {
    return VTESDEV_FAILED; // not built yet
}

int VTESDevLib::DoEndSession() {
    return VTESDEV_FAILED; // not built yet
}

int VTESDevLib::DoSetDeviceAgreement(const wchar_t*, int) {
    return VTESDEV_FAILED; // not built yet
}

int VTESDevLib::DoGetConnectivityTestResult(const wchar_t*, int, unsigned char*) {
    return VTESDEV_FAILED; // not built yet
}

} // namespace vtqeldevc
