// The pass phrases of the regional services. None is stored whole in the program image.
#pragma once

#include <string>

namespace xcrypt {

enum class Passphrase {
    QelKey,
    QelVector,
    KivVector,
    RemKey,
    RemVector,
    TavaKey,
    TavaVector,
};

// The 10 characters of one pass phrase, assembled on every call.
std::string AssemblePassphrase(Passphrase which);

} // namespace xcrypt
