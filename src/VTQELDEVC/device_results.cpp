#include "device_results.h"

#include <vtqeldevc/vtqeldevc.h>

namespace vtqeldevc {

int DetailToResult(int detail) noexcept {
    switch (detail) {
    case 0:
        return VTESDEV_OK;
    case 6:  // DeviceUseOtherJob
    case 19: // PrinterIDError
        return VTESDEV_PRINTER_BUSY;
    case 12: // Suspended
    case 13: // Initializing
    case 14: // ShuttingDown
        return VTESDEV_PRINTER_NOT_READY;
    case 15: // NotConnectServer
    case 17: // ConnectTimeout
        return VTESDEV_NO_SERVER;
    case 16: // NotConnectInternet
    case 18: // OtherConnectError
        return VTESDEV_NO_INTERNET;
    default:
        return VTESDEV_REFUSED;
    }
}

} // namespace vtqeldevc
