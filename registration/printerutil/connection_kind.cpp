#include "printerutil/registration_records.h"

namespace printerutil {

int PortTypeOf(int connectionKind) noexcept {
    switch (connectionKind) {
    case kConnectionSearchedUsb:
        return 3;
    case kConnectionAddress:
        return 0;
    case kConnectionUsbQueue:
        return 2;
    default:
        return 1;
    }
}

bool IsUsbConnection(int connectionKind) noexcept {
    return connectionKind == kConnectionSearchedUsb || connectionKind == kConnectionUsbQueue;
}

bool IsKnownConnection(int connectionKind) noexcept {
    return connectionKind >= kConnectionSearchedNetwork && connectionKind <= kConnectionUsbQueue;
}

} // namespace printerutil
