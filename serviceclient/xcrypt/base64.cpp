#include "xcrypt/base64.h"

#include <array>

namespace xcrypt {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr int kSkip = -1;
constexpr int kPad = -2;

constexpr std::array<int, 256> MakeDecodeTable() {
    std::array<int, 256> table{};
    for (auto& value : table) {
        value = kSkip;
    }
    for (int i = 0; i < 64; ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = i;
    }
    table['='] = kPad;
    return table;
}

constexpr std::array<int, 256> kDecode = MakeDecodeTable();

} // namespace

Bytes Base64Encode(const unsigned char* data, std::size_t size) {
    Bytes text;
    if (data == nullptr || size == 0) {
        return text;
    }
    text.reserve((size + 2) / 3 * 4);
    for (std::size_t i = 0; i < size; i += 3) {
        const std::size_t remaining = size - i;
        const unsigned int group =
            (static_cast<unsigned int>(data[i]) << 16) |
            (remaining > 1 ? static_cast<unsigned int>(data[i + 1]) << 8 : 0) |
            (remaining > 2 ? static_cast<unsigned int>(data[i + 2]) : 0);
        text.push_back(static_cast<unsigned char>(kAlphabet[(group >> 18) & 0x3F]));
        text.push_back(static_cast<unsigned char>(kAlphabet[(group >> 12) & 0x3F]));
        text.push_back(remaining > 1 ? static_cast<unsigned char>(kAlphabet[(group >> 6) & 0x3F])
                                     : '=');
        text.push_back(remaining > 2 ? static_cast<unsigned char>(kAlphabet[group & 0x3F]) : '=');
    }
    return text;
}

Bytes Base64Decode(std::string_view text) {
    Bytes bytes;
    bytes.reserve(text.size() / 4 * 3 + 3);
    unsigned int group = 0;
    int count = 0;
    int padding = 0;
    const auto flush = [&] {
        const int produced = 3 - padding;
        for (int i = 0; i < produced && i < 3; ++i) {
            bytes.push_back(static_cast<unsigned char>((group >> (16 - 8 * i)) & 0xFF));
        }
    };
    for (const char character : text) {
        const int value = kDecode[static_cast<unsigned char>(character)];
        if (value == kSkip) {
            continue;
        }
        if (value == kPad) {
            ++padding;
        }
        group = (group << 6) | static_cast<unsigned int>(value < 0 ? 0 : value);
        if (++count == 4) {
            flush();
            if (padding != 0) {
                return bytes;
            }
            group = 0;
            count = 0;
        }
    }
    if (count != 0) {
        // Complete the last group with zero bits; its bytes are those that its characters
        // fully cover.
        const int covered = count * 6 / 8;
        group <<= 6 * (4 - count);
        padding = 3 - covered + padding;
        if (padding > 3) {
            padding = 3;
        }
        flush();
    }
    return bytes;
}

} // namespace xcrypt
