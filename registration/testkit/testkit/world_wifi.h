// What a user answers a USB printer's Wi-Fi screens with: the network that the simulated world
// lets the printer join and its key, read by the world's own library from the world file that
// the program reads.
#pragma once

#include <optional>
#include <string>

namespace qeltest {

struct WorldWifi {
    std::wstring printer; // the printer's name in the world
    std::wstring network;
    std::wstring key;
};

// From the world file (empty: QEL_WORLD_FILE, else qelworld.world beside this program): the
// printer of that model, or with no model the first printer that sees a network. Its network is
// the first it sees whose key the world gives, else the first it sees (that one takes any key).
// Nothing, and why in *why, when the world gives none.
std::optional<WorldWifi> WifiOfWorld(const std::wstring& worldFile, const std::wstring& model,
                                     std::wstring* why);

} // namespace qeltest
