// One simulated printer on the USB bus: its identity, its management objects with the values
// they hold, and the behaviour of its access-point search and its wireless mode changes.
#pragma once

#include "printersim/printer_model.h"
#include "snmp_types.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vtwidussim {

// What identifies the printer, as the USB bus and the agent show it. The printer keeps it in the
// simulated printer's shared model, so every face of one printer shows the same identity.
struct PrinterIdentity {
    std::string modelName;
    std::string serialNumber;
};

// How a SET of an object is accepted.
enum class SetKind {
    None,      // not writable
    OctetInt,  // OCTET STRING of exactly 4 bytes, an int most significant byte first
    Integer,   // INTEGER
    Gauge,     // Gauge32
    Text,      // OCTET STRING of at most maxLength bytes
    IpAddress, // IpAddress, 4 bytes
    Ipv6,      // OCTET STRING of exactly 16 bytes
};

struct MibObject {
    Value value;
    bool readable = true;
    SetKind setKind = SetKind::None;
    std::size_t maxLength = 0;
    // The value is the serial number of the shared model rather than value.
    bool fromIdentity = false;
};

struct AccessPoint {
    std::string ssid;
    Bytes bssid;
    int phyType = 0;
    int channel = 0;
    int authentication = 0;
    int encryption = 0;
    int signalLevel = 0;
    // The key that the network asks for; empty: any key is taken. Never shown by the agent.
    std::string key;
};

// Printer behaviour that scenarios tune.
struct PrinterBehaviour {
    // Reads of the search time value that still show the old value after a search start.
    int apSearchPolls = 0;
    // Reads of the dot11 mode word that still show the old word after it was set; -1: the
    // printer never takes the new word.
    int modeChangePolls = 0;
    // The mode word that the printer shows once a search has ended; -1 leaves it.
    int modeAfterSearch = -1;
};

// What started the printer's last access-point search.
struct ApSearchStart {
    enum class Kind { Plain, WithSsid, WithParams } kind = Kind::Plain;
    std::string text; // the network name or the parameter text
};

class UsbPrinter {
public:
    // A printer with a model of its own.
    explicit UsbPrinter(PrinterIdentity identity);
    // A printer whose identity is that of a model shared with other faces.
    explicit UsbPrinter(std::shared_ptr<printersim::SharedPrinter> model);

    PrinterIdentity Identity() const;
    void SetSerialNumber(const std::string& serial);
    // The printer's own network (direct mode) is named after its serial number; this names it
    // again after the identity changed.
    void NameDirectNetwork();
    const std::shared_ptr<printersim::SharedPrinter>& Model() const { return model_; }
    PrinterBehaviour& Behaviour() { return behaviour_; }

    // The answer to a GET of one OID (full text): the value, or a noSuchObject or
    // noSuchInstance value.
    Value Get(const std::string& oid);
    // Whether a SET of this varbind would be accepted, without changing anything.
    ErrorStatus CheckSet(const Varbind& varbind) const;
    // Applies a SET varbind that CheckSet accepted.
    void CommitSet(const Varbind& varbind);

    // Direct access for scenarios and tests (full OID texts).
    MibObject* Find(const std::string& oid);
    void Put(const std::string& oid, MibObject object) { objects_[oid] = std::move(object); }
    bool Remove(const std::string& oid) { return objects_.erase(oid) > 0; }

    // The networks that the printer's next searches find.
    void AddAccessPoint(AccessPoint ap) { environment_.push_back(std::move(ap)); }
    void ClearAccessPoints() { environment_.clear(); }
    const std::vector<AccessPoint>& Environment() const { return environment_; }
    // Publishes the current networks as the result of a finished search with this time value.
    void PublishResults(std::uint32_t timeValue);
    const std::vector<AccessPoint>& Results() const { return results_; }

    // Support table of searches with parameters: value for (mode index, flag set); flags -1
    // stands for every flag set of that index.
    void SetSupport(int modeIndex, int flags, int value) { support_[{modeIndex, flags}] = value; }
    void ClearSupport() { support_.clear(); }

    int ApSearchStarts() const { return searchStarts_; }
    const ApSearchStart& LastApSearch() const { return lastSearch_; }

    // The dot11 mode word that the printer was asked to take and has not taken yet, else the
    // word it shows.
    int RequestedDot11Mode() const;

private:
    Value GetModeWord();
    Value GetSearchTime();
    Value GetResultCell(const std::string& oid) const;
    Value GetSupport(const std::string& oid) const;
    void StartSearch(ApSearchStart start);
    void FinishSearch();
    int ReportedModeWord() const;

    std::shared_ptr<printersim::SharedPrinter> model_;
    PrinterBehaviour behaviour_;
    std::map<std::string, MibObject> objects_;
    std::vector<AccessPoint> environment_;
    std::vector<AccessPoint> results_;
    std::map<std::pair<int, int>, int> support_;

    bool searchRunning_ = false;
    int searchPollsLeft_ = 0;
    int searchStarts_ = 0;
    ApSearchStart lastSearch_;

    // A SET of the mode word that the printer has not taken yet.
    bool modeChangePending_ = false;
    int requestedMode_ = 0;
    int modePollsLeft_ = 0;
};

// Checks a parameter text of a search with parameters: a sequence of "<bgch-8:XXXXXXXX>",
// "<ach-8:XXXXXXXX>", "<ssid-N:text>" and "<bssid-N:text>" pieces, each at most once, in that
// order, with N the length of the text that follows; an empty text is a search without limits.
bool IsValidSearchParamText(std::string_view text);

} // namespace vtwidussim
