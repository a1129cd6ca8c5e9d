#include "qelcmn/config_store.h"

#include "config_store_data.h"

namespace qelcmn {

std::string GetObfuscatedString(int id) {
    for (const auto& entry : detail::kConfigEntries) {
        if (entry.id != id) {
            continue;
        }
        std::string text;
        text.reserve(entry.size);
        for (std::size_t i = 0; i < entry.size; ++i) {
            text.push_back(static_cast<char>(entry.bytes[i] ^ entry.mask));
        }
        return text;
    }
    return {};
}

} // namespace qelcmn
