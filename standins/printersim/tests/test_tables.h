// Small tables with values of our own for the simulator's tests, the same as those of
// known_answers.py, so known answers do not depend on the shared protocol values.
#pragma once

#include "printersim/protocol_tables.h"

namespace printersim::testing {

inline const ProtocolTables& test_tables() {
    static const auto tables = [] {
        static std::array<std::array<std::uint8_t, 10>, 16> variants{};
        static std::array<std::array<std::uint8_t, 32>, 18> perms{};
        static std::array<std::array<std::uint8_t, 32>, 32> constants{};
        static std::array<std::array<std::uint32_t, 2>, 16> selectors{};
        static std::array<std::array<std::uint8_t, 16>, 16> extensions{};
        static std::array<std::array<std::uint8_t, 16>, 16> ivs{};
        for (unsigned v = 0; v < 16; ++v) {
            variants[v][0] = static_cast<std::uint8_t>((v * 5) % 32);
            variants[v][1] = static_cast<std::uint8_t>(v % 8 + 1);
            for (unsigned i = 0; i < 8; ++i) {
                variants[v][2 + i] = static_cast<std::uint8_t>((v + i * 3) % 18);
            }
        }
        for (unsigned r = 0; r < 18; ++r) {
            for (unsigned j = 0; j < 32; ++j) {
                perms[r][j] = static_cast<std::uint8_t>((j * (2 * r + 1) + r) % 32);
            }
        }
        for (unsigned i = 0; i < 32; ++i) {
            for (unsigned j = 0; j < 32; ++j) {
                constants[i][j] = static_cast<std::uint8_t>((i * 31 + j * 7 + 3) & 0xFF);
            }
        }
        for (unsigned s = 0; s < 16; ++s) {
            selectors[s] = {s, 15 - s};
            for (unsigned j = 0; j < 16; ++j) {
                extensions[s][j] = static_cast<std::uint8_t>(((s * 16 + j) * 5) & 0xFF);
                ivs[s][j] = static_cast<std::uint8_t>((s + j * 13) & 0xFF);
            }
        }
        return ProtocolTables{
            "http://ns.example.test", variants, perms, constants, selectors, extensions, ivs};
    }();
    return tables;
}

} // namespace printersim::testing
