// Configuration texts of the application, read by number.
#pragma once

#include <string>

namespace qelcmn {

// Well-known entries of the store.
enum ConfigId : int {
    kConfigGatewayBaseAddress = 0,
    kConfigPrinterIdServiceAddress = 1,
    kConfigPrinterIdSigningKey = 3,
    kConfigTokenServiceAddressA = 4,
    kConfigTokenServiceAddressB = 8,
    kConfigTokenServiceAddressC = 12,
};

// The UTF-8 text of an entry; an empty text for an id without an entry. Entries are kept
// scrambled in the program image and unscrambled on every call.
std::string GetObfuscatedString(int id);

} // namespace qelcmn
