#include "xcrypt/salt.h"

#include <array>
#include <random>
#include <string_view>

namespace xcrypt {

Bytes GenerateRandomSalt(unsigned char low, unsigned char high) {
    std::random_device device;
    std::array<std::random_device::result_type, 10> seeds{};
    for (auto& seed : seeds) {
        seed = device();
    }
    std::seed_seq sequence(seeds.begin(), seeds.end());
    std::mt19937 engine(sequence);
    std::uniform_int_distribution<int> lengthOf(16, 64);
    std::uniform_int_distribution<int> byteOf(low, high);
    Bytes salt(static_cast<std::size_t>(lengthOf(engine)));
    for (auto& byte : salt) {
        byte = static_cast<unsigned char>(byteOf(engine));
    }
    return salt;
}

Bytes GenerateRandomAlnumSalt() {
    static constexpr std::string_view kAlphabet = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::random_device device;
    std::mt19937 engine(device());
    std::uniform_int_distribution<std::size_t> indexOf(0, kAlphabet.size() - 1);
    Bytes salt(kAlnumSaltSize);
    for (auto& character : salt) {
        character = static_cast<unsigned char>(kAlphabet[indexOf(engine)]);
    }
    return salt;
}

} // namespace xcrypt
