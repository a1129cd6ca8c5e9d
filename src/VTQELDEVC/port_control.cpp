#include "port_control.h"

#include "vtmpu2_ctrl.h"
#include "vtmpu_ctrl.h"

#include <vtqeldevc/vtqeldevc.h>

namespace vtqeldevc {

std::unique_ptr<CVTMPUCom> MakePortControl(int portType, const Platform& platform) {
    if (portType == VTESDEV_PORT_USB_PRINTER_NAME || portType == VTESDEV_PORT_USB_PORT) {
        return std::make_unique<CVTMPUCtrl>(platform);
    }
    return std::make_unique<CVTMPU2Ctrl>(platform);
}

} // namespace vtqeldevc
