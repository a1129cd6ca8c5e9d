#include "port_control.h"

#include "vtmpu2_ctrl.h"
#include "vtmpu_ctrl.h"

#include <vtqeldevc/vtqeldevc.h>

namespace vtqeldevc {

bool UsesOlderPortLibrary(int portType) noexcept {
    return portType == VTESDEV_PORT_USB_PRINTER_NAME || portType == VTESDEV_PORT_USB_PORT;
}

std::unique_ptr<CVTMPUCom> MakePortControl(int portType, const Platform& platform) {
    if (UsesOlderPortLibrary(portType)) {
        return std::make_unique<CVTMPUCtrl>(platform);
    }
    return std::make_unique<CVTMPU2Ctrl>(platform);
}

int OpenTarget(CVTMPUCom& port, const wchar_t* target, int portType, int portIndex) {
    port.SetTarget(target, portType, portIndex);
    return portType == VTESDEV_PORT_USB_PORT ? port.OpenPort() : port.Open();
}

std::unique_ptr<CVTMPUCom> OpenOwnPort(const Platform& platform, const std::wstring& folder,
                                       const wchar_t* target, int portType, int portIndex) {
    std::unique_ptr<CVTMPUCom> port = MakePortControl(portType, platform);
    if (port->LoadPortLib(folder.c_str()) != 0 ||
        OpenTarget(*port, target, portType, portIndex) != 0) {
        return nullptr;
    }
    return port;
}

} // namespace vtqeldevc
