// The tables as the host library reads them, from the one file of protocol values.
#include "printersim/protocol_tables.h"

namespace printersim {
namespace {

#if __has_include("protocol_values.def")

constexpr std::string_view kHost =
#define QEL_NAMESPACE_HOST(host) host
#include "protocol_values.def"
    ;

constexpr std::array kVariants = {
#define QEL_PASS_VARIANT(variant, position, passes, ...)                                           \
    std::array<std::uint8_t, 10>{position, passes, __VA_ARGS__},
#include "protocol_values.def"
};

constexpr std::array kPermutations = {
#define QEL_PERMUTATION_ROW(row, ...) std::array<std::uint8_t, 32>{__VA_ARGS__},
#include "protocol_values.def"
};

constexpr std::array kPassConstants = {
#define QEL_PASS_CONSTANT_ROW(row, ...) std::array<std::uint8_t, 32>{__VA_ARGS__},
#include "protocol_values.def"
};

constexpr std::array kSelectors = {
#define QEL_CIPHER_SELECTOR(selector, key_row, iv_row)                                             \
    std::array<std::uint32_t, 2>{key_row, iv_row},
#include "protocol_values.def"
};

constexpr std::array kKeyExtensions = {
#define QEL_KEY_EXTENSION_ROW(row, ...) std::array<std::uint8_t, 16>{__VA_ARGS__},
#include "protocol_values.def"
};

constexpr std::array kIvs = {
#define QEL_IV_ROW(row, ...) std::array<std::uint8_t, 16>{__VA_ARGS__},
#include "protocol_values.def"
};

// The printer looks rows up with range checks; these only catch a file that lost its shape.
static_assert(kVariants.size() == 16 && kPermutations.size() == 18 && kPassConstants.size() == 32 &&
              kSelectors.size() == 16 && kKeyExtensions.size() == 16 && kIvs.size() == 16);

#else
#error "protocol_values.def is not on the include path"
#endif

} // namespace

const ProtocolTables& shared_tables() noexcept {
    static const ProtocolTables tables{kHost,      kVariants,      kPermutations, kPassConstants,
                                       kSelectors, kKeyExtensions, kIvs};
    return tables;
}

} // namespace printersim
