// One printer of the simulated world: the printer model that every face shares, its XML command
// responder, its management objects over USB, where it can be reached (network addresses, Windows
// queues, its USB port and which USB libraries see it), its Wi-Fi state and the faults and delays
// that its faces show.
#pragma once

#include "printersim/printer_model.h"
#include "printersim/responder.h"
#include "printersim/scenario.h"
#include "usb_printer.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qelworld {

struct NetAddress {
    std::string text; // without the scope
    std::uint32_t scope = 0;
    bool ipv6 = false;

    // The text with "%<scope>" appended for an IPv6 address with a scope.
    std::string Display() const;
};

// An IPv4 or IPv6 address with an optional "%<scope>"; nothing for anything else.
std::optional<NetAddress> ParseAddress(std::string_view text);

// A fault of one face entry: the entry's name ("pu2Write"), what it does instead (a result code,
// or a word such as "fail" or "stale") and which matching calls it hits.
struct FaceFault {
    std::string entry;
    std::string action;
    std::optional<int> code; // the action as a number, when it is one
    int skip = 0;
    int times = 1; // -1: every later call
    int seen = 0;
    int hits = 0;
};

// How the printer's command channels deliver a reply.
struct PortBehaviour {
    std::size_t pieceSize = 65536;
    int noDataReads = 0;       // "no data yet" answers before each reply
    unsigned replyDelayMs = 0; // real time between a request and its reply
};

struct WifiState {
    std::string ssid;
    std::string key;
    std::string via; // the face that wrote the settings
    bool joined = false;
};

// The wireless settings block that vtwiduns last wrote, as the printer read it.
struct WirelessBlock {
    std::string ssid;
    std::string key;
    std::string accessPointText; // the access point's own text, handed back by the caller
    bool secured = false;
};

class WorldPrinter {
public:
    explicit WorldPrinter(std::string name);
    WorldPrinter(const WorldPrinter&) = delete;
    WorldPrinter& operator=(const WorldPrinter&) = delete;

    const std::string name;
    const std::shared_ptr<printersim::SharedPrinter> model;
    printersim::Responder responder;
    vtwidussim::UsbPrinter usb;

    std::vector<NetAddress> addresses;
    bool searchable = true; // answers the network search
    std::vector<std::string> queues;
    std::string usbPort;
    bool plugged = true;
    bool onVtwidwus = false; // its management objects are on the packet library's bus
    bool onVtwiduns = false; // the outside USB device library lists it

    std::optional<NetAddress> wifiAddress; // the address it takes when it joins a network
    bool joinsWifi = true;
    // Whether it reaches the cloud: always, never, or while it is on a network.
    enum class Internet { Yes, No, WithNetwork };
    Internet internet = Internet::Yes;
    WifiState wifi;
    std::optional<WirelessBlock> wirelessBlock;

    PortBehaviour port;
    std::vector<FaceFault> faults;
    // The reply faults and printer-side choices of the XML responder; kept here so that lines
    // add up, and handed to the responder after every change.
    printersim::Scenario replies;
    std::vector<std::string> replyFaultLines; // as they were written, for reading back

    int lastUsbTimeout = -1;
    // The last reply that went out over the older port library, replayed as a stale reply.
    std::string lastVtmpuReply;
    // Replies to requests whose channel had to be opened again, by command path.
    std::map<printersim::PortPath, std::string> parkedReplies;

    bool OnNetwork() const { return !addresses.empty(); }
    // Tells the printer model whether it reaches the cloud now; after every change of the
    // Internet setting or of the addresses.
    void UpdateInternet();
    bool OnUsb() const { return !usbPort.empty() && plugged; }
    bool HasQueue(std::string_view queue) const;
    bool HasAddress(const NetAddress& address) const;
    // The name by which the outside USB device library knows the printer.
    std::string DeviceKey() const { return "VTUNS#" + usbPort + "#" + name; }
    // The radio bands of the infrastructure interface, as bits (2: 2.4 GHz, 4: 5 GHz).
    int BandBits();
    // The access points that the printer sees, as its management objects hold them.
    const std::vector<vtwidussim::AccessPoint>& AccessPoints() { return usb.Environment(); }
};

} // namespace qelworld
