// Owners of the packet library's packets and USB instances.
#pragma once

#include "wrapvtwidus.h"

#include <win/unique_any.h>

namespace vtwidwus {

namespace detail {
inline void DestroyPacket(VTWIDUS_PACKET packet) noexcept {
    if (const auto destroy = Vtwidus().pfnVTWIDUS_DestroyPacket_) {
        destroy(packet);
    }
}
inline void DestroyUsbInstance(VTWIDUS_USB_INSTANCE instance) noexcept {
    if (const auto destroy = Vtwidus().pfnVTWIDUS_DestroyUsbInstance_) {
        destroy(instance);
    }
}
} // namespace detail

using unique_packet = qelwin::unique_any<VTWIDUS_PACKET, detail::DestroyPacket>;
using unique_usb_instance = qelwin::unique_any<VTWIDUS_USB_INSTANCE, detail::DestroyUsbInstance>;

// A new packet of the protocol version the wrapper speaks; empty when the library made none.
inline unique_packet MakePacket() noexcept {
    return unique_packet(Vtwidus().pfnVTWIDUS_CreatePacket_(VTWIDUS_PACKET_VERSION_3));
}

} // namespace vtwidwus
