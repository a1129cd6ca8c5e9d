// The values that the printer and the host must agree on: the namespace host of the command
// documents and the tables of the challenge answer and of the application-data cipher.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace printersim {

struct ProtocolTables {
    std::string_view namespace_host; // scheme and host, no trailing '/'
    // Row per variant: selector byte position, pass count, permutation row of each pass.
    std::span<const std::array<std::uint8_t, 10>> pass_variants;
    std::span<const std::array<std::uint8_t, 32>> permutations;
    std::span<const std::array<std::uint8_t, 32>> pass_constants;
    // Entry per selector: key-extension row, IV row.
    std::span<const std::array<std::uint32_t, 2>> cipher_selectors;
    std::span<const std::array<std::uint8_t, 16>> key_extensions;
    std::span<const std::array<std::uint8_t, 16>> ivs;
};

// The tables that the host library uses too.
const ProtocolTables& shared_tables() noexcept;

inline constexpr std::string_view kCommonNamespacePath = "/ns/cmd/2008/07/common/";
inline constexpr std::string_view kVendorNamespacePath = "/ns/cmd/2008/07/velto/";

inline std::string common_namespace(const ProtocolTables& t) {
    return std::string(t.namespace_host) + std::string(kCommonNamespacePath);
}
inline std::string vendor_namespace(const ProtocolTables& t) {
    return std::string(t.namespace_host) + std::string(kVendorNamespacePath);
}

} // namespace printersim
