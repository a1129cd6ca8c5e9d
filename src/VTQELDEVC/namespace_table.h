// The four namespaces that printer documents use, under the maker's web host.
#pragma once

#include "protocol_tables.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vtqeldevc {

inline constexpr std::size_t kCommonNamespaceRow = 0;
inline constexpr std::size_t kVendorNamespaceRow = 1;

inline constexpr std::array<std::string_view, 4> kNamespacePaths = {
    "/ns/cmd/2008/07/common/",
    "/ns/cmd/2008/07/velto/",
    "/ns/wdp/2008/01/print/",
    "/ns/cmd/2010/05/velto/",
};

inline std::string_view NamespacePrefix(std::size_t row) {
    return tables::kNamespacePrefixes.at(row);
}

inline std::string NamespaceUri(std::size_t row) {
    return std::string(tables::kNamespaceHost) + std::string(kNamespacePaths.at(row));
}

} // namespace vtqeldevc
