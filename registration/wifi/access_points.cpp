#include "wifi/access_points.h"

#include <algorithm>

#include "printerutil/device_data.h"

namespace qelwifi {

std::vector<std::wstring> AccessPointNames(const AccessPointEntry* entries, std::size_t count) {
    std::vector<std::wstring> names;
    const std::size_t limit =
        std::min(count, static_cast<std::size_t>(printerutil::kAccessPointCapacity));
    for (std::size_t i = 0; entries != nullptr && i < limit; ++i) {
        // A library may fill the field to its end: the name ends there.
        std::wstring name = printerutil::FieldText(entries[i].ssid);
        if (name.empty()) {
            break;
        }
        names.push_back(std::move(name));
    }
    return names;
}

} // namespace qelwifi
