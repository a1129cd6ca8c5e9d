// The fixed tables of the printer command protocol, built from protocol_values.def.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace vtqeldevc::tables {

struct PassVariant {
    std::uint8_t selector_position;
    std::uint8_t passes;
    std::array<std::uint8_t, 8> permutation_rows;
};

struct CipherSelector {
    std::uint32_t key_extension_row;
    std::uint32_t iv_row;
};

using Row16 = std::array<std::uint8_t, 16>;
using Row32 = std::array<std::uint8_t, 32>;

inline constexpr std::string_view kNamespaceHost =
#define QEL_NAMESPACE_HOST(host) host
#include "protocol_values.def"
    ;

// Indexed by namespace row; rows 0 and 1 have fixed prefixes.
inline constexpr std::array<std::string_view, 4> kNamespacePrefixes = [] {
    std::array<std::string_view, 4> prefixes{"ivec", "vvt", "", ""};
#define QEL_NAMESPACE_PREFIX(row, prefix) prefixes[row] = prefix;
#include "protocol_values.def"
    return prefixes;
}();

inline constexpr std::array kPassVariants = {
#define QEL_PASS_VARIANT(variant, position, passes, ...)                                           \
    PassVariant{position, passes, {__VA_ARGS__}},
#include "protocol_values.def"
};

inline constexpr std::array kPermutationRows = {
#define QEL_PERMUTATION_ROW(row, ...) Row32{__VA_ARGS__},
#include "protocol_values.def"
};

inline constexpr std::array kPassConstantRows = {
#define QEL_PASS_CONSTANT_ROW(row, ...) Row32{__VA_ARGS__},
#include "protocol_values.def"
};

inline constexpr std::array kCipherSelectors = {
#define QEL_CIPHER_SELECTOR(selector, key_row, iv_row) CipherSelector{key_row, iv_row},
#include "protocol_values.def"
};

inline constexpr std::array kKeyExtensionRows = {
#define QEL_KEY_EXTENSION_ROW(row, ...) Row16{__VA_ARGS__},
#include "protocol_values.def"
};

inline constexpr std::array kIvRows = {
#define QEL_IV_ROW(row, ...) Row16{__VA_ARGS__},
#include "protocol_values.def"
};

namespace detail {

// Every row must sit at the index its line names, so a dropped or swapped line is caught.
template <std::size_t N> constexpr bool rows_in_order(const std::array<int, N>& indices) {
    for (std::size_t i = 0; i < N; ++i) {
        if (indices[i] != static_cast<int>(i)) {
            return false;
        }
    }
    return true;
}

constexpr bool is_permutation_of_32(const Row32& row) {
    std::array<bool, 32> seen{};
    for (auto position : row) {
        if (position >= 32 || seen[position]) {
            return false;
        }
        seen[position] = true;
    }
    return true;
}

constexpr bool permutations_valid() {
    for (const auto& row : kPermutationRows) {
        if (!is_permutation_of_32(row)) {
            return false;
        }
    }
    return true;
}

constexpr bool variants_valid() {
    for (const auto& variant : kPassVariants) {
        // The selector byte is read from the permuted 32-byte block, present in every pass.
        if (variant.selector_position >= 32 || variant.passes < 1 || variant.passes > 8) {
            return false;
        }
        for (auto row : variant.permutation_rows) {
            if (row >= kPermutationRows.size()) {
                return false;
            }
        }
    }
    return true;
}

constexpr bool selectors_valid() {
    for (const auto& selector : kCipherSelectors) {
        if (selector.key_extension_row >= kKeyExtensionRows.size() ||
            selector.iv_row >= kIvRows.size()) {
            return false;
        }
    }
    return true;
}

inline constexpr std::array kVariantIndices = {
#define QEL_PASS_VARIANT(variant, ...) variant,
#include "protocol_values.def"
};
inline constexpr std::array kPermutationIndices = {
#define QEL_PERMUTATION_ROW(row, ...) row,
#include "protocol_values.def"
};
inline constexpr std::array kPassConstantIndices = {
#define QEL_PASS_CONSTANT_ROW(row, ...) row,
#include "protocol_values.def"
};
inline constexpr std::array kSelectorIndices = {
#define QEL_CIPHER_SELECTOR(selector, ...) selector,
#include "protocol_values.def"
};
inline constexpr std::array kKeyExtensionIndices = {
#define QEL_KEY_EXTENSION_ROW(row, ...) row,
#include "protocol_values.def"
};
inline constexpr std::array kIvIndices = {
#define QEL_IV_ROW(row, ...) row,
#include "protocol_values.def"
};

// A row with values missing would be filled up with zeros without a word: count them.
template <std::size_t N>
constexpr bool all_widths(const std::array<std::size_t, N>& widths, std::size_t width) {
    for (auto w : widths) {
        if (w != width) {
            return false;
        }
    }
    return true;
}

inline constexpr std::array kVariantWidths = {
#define QEL_PASS_VARIANT(variant, position, passes, ...)                                           \
    std::initializer_list<int>{__VA_ARGS__}.size(),
#include "protocol_values.def"
};
inline constexpr std::array kPermutationWidths = {
#define QEL_PERMUTATION_ROW(row, ...) std::initializer_list<int>{__VA_ARGS__}.size(),
#include "protocol_values.def"
};
inline constexpr std::array kPassConstantWidths = {
#define QEL_PASS_CONSTANT_ROW(row, ...) std::initializer_list<int>{__VA_ARGS__}.size(),
#include "protocol_values.def"
};
inline constexpr std::array kKeyExtensionWidths = {
#define QEL_KEY_EXTENSION_ROW(row, ...) std::initializer_list<int>{__VA_ARGS__}.size(),
#include "protocol_values.def"
};
inline constexpr std::array kIvWidths = {
#define QEL_IV_ROW(row, ...) std::initializer_list<int>{__VA_ARGS__}.size(),
#include "protocol_values.def"
};

} // namespace detail

static_assert(kPassVariants.size() == 16, "variants 0 and 15 are used; 16 rows");
static_assert(kPermutationRows.size() == 18);
static_assert(kPassConstantRows.size() == 32, "rows are picked by 5 bits");
static_assert(kCipherSelectors.size() == 16);
static_assert(kKeyExtensionRows.size() == 16);
static_assert(kIvRows.size() == 16);
static_assert(detail::rows_in_order(detail::kVariantIndices));
static_assert(detail::rows_in_order(detail::kPermutationIndices));
static_assert(detail::rows_in_order(detail::kPassConstantIndices));
static_assert(detail::rows_in_order(detail::kSelectorIndices));
static_assert(detail::rows_in_order(detail::kKeyExtensionIndices));
static_assert(detail::rows_in_order(detail::kIvIndices));
static_assert(detail::all_widths(detail::kVariantWidths, 8), "a pass variant lacks a row number");
static_assert(detail::all_widths(detail::kPermutationWidths, 32));
static_assert(detail::all_widths(detail::kPassConstantWidths, 32));
static_assert(detail::all_widths(detail::kKeyExtensionWidths, 16));
static_assert(detail::all_widths(detail::kIvWidths, 16));
static_assert(detail::permutations_valid(), "a permutation row is not a permutation of 0..31");
static_assert(detail::variants_valid(), "a pass variant is out of range");
static_assert(detail::selectors_valid(), "a cipher selector names a missing row");
static_assert(!kNamespaceHost.empty() && !kNamespacePrefixes[2].empty() &&
              !kNamespacePrefixes[3].empty());

} // namespace vtqeldevc::tables
