#include "xcrypt/passphrase.h"

#include <array>
#include <cstddef>

namespace xcrypt {
namespace {

// Each phrase is its table read in order, one position skipped, every byte XORed with the
// phrase's mask. The regional gateways hold the same phrases; change both sides together.
struct ScrambledPassphrase {
    std::array<unsigned char, 11> table;
    std::size_t skipped;
    unsigned char mask;
};

constexpr std::array<ScrambledPassphrase, 7> kScrambled{{
    // Passphrase::QelKey
    {{0x81, 0xA2, 0x9B, 0x1A, 0xC6, 0xB8, 0x91, 0xDC, 0xD9, 0xA0, 0x89}, 3, 0xEB},
    // Passphrase::QelVector
    {{0x9E, 0x84, 0xB3, 0xBB, 0x92, 0x93, 0xB5, 0x83, 0x84, 0x8B, 0xB8}, 9, 0xF4},
    // Passphrase::KivVector
    {{0x85, 0xA3, 0xF8, 0x8A, 0xA0, 0xA1, 0xB9, 0x82, 0xFC, 0x96, 0xB1}, 5, 0xC1},
    // Passphrase::RemKey
    {{0x2A, 0x70, 0x24, 0x47, 0x75, 0x38, 0x62, 0x42, 0x41, 0x70, 0x4A}, 7, 0x12},
    // Passphrase::RemVector
    {{0x4D, 0x4C, 0x69, 0x51, 0x5F, 0x50, 0x41, 0x75, 0x7D, 0x4F, 0x7F}, 5, 0x1B},
    // Passphrase::TavaKey
    {{0x7E, 0x54, 0x1A, 0x6E, 0x1C, 0x64, 0x7F, 0x72, 0x6E, 0x70, 0x0B}, 1, 0x28},
    // Passphrase::TavaVector
    {{0xA3, 0xAB, 0xCB, 0x84, 0xBA, 0x8D, 0xCD, 0x8A, 0x8A, 0xCD, 0x08}, 10, 0xE8},
}};

} // namespace

std::string AssemblePassphrase(Passphrase which) {
    const ScrambledPassphrase& scrambled = kScrambled.at(static_cast<std::size_t>(which));
    std::string phrase;
    phrase.reserve(scrambled.table.size() - 1);
    for (std::size_t i = 0; i < scrambled.table.size(); ++i) {
        if (i != scrambled.skipped) {
            phrase.push_back(static_cast<char>(scrambled.table[i] ^ scrambled.mask));
        }
    }
    return phrase;
}

} // namespace xcrypt
