// The access points a USB printer saw: the buffer the search fills and the names the network
// dialog offers from it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <vtqeldevc/vtqeldevc.h>

#include "printerutil/device_operations.h"

namespace qelwifi {

// 100 entries, zeroed; nothing asks for more.
using AccessPointBuffer = std::array<AccessPointEntry, printerutil::kAccessPointCapacity>;

// The names in buffer order, up to the first empty name and at most 100 of them.
std::vector<std::wstring> AccessPointNames(const AccessPointEntry* entries, std::size_t count);

inline std::vector<std::wstring> AccessPointNames(const AccessPointBuffer& buffer) {
    return AccessPointNames(buffer.data(), buffer.size());
}

} // namespace qelwifi
