// A packet of the stand-in packet library: header fields and varbinds whose records stay at
// one address while the packet lives.
#pragma once

#include "snmp_types.h"
#include "vtwidus/vtwidus_api.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace vtwidussim {

class Packet {
public:
    explicit Packet(int version) : version_(version) {}
    Packet(const Packet&) = delete;
    Packet& operator=(const Packet&) = delete;

    int Version() const { return version_; }

    std::uint8_t command = 0;
    std::int32_t msgId = 0;
    std::int32_t requestId = 0;
    std::string communityName;
    std::string contextName;
    bool reportable = false;
    int errorStatus = 0;
    int errorIndex = 0;

    void AddVarbind(Varbind varbind);
    void ReplaceVarbinds(std::vector<Varbind> varbinds);
    std::size_t VarbindCount() const { return varbinds_.size(); }
    const VTWIDUS_VARBIND* VarbindRecord(std::size_t index) const;
    std::vector<Varbind> Varbinds() const;
    std::vector<std::string> Oids() const;

    // Keeps bytes for the packet's lifetime and hands out their octet pair.
    const VTWIDUS_OCTETS* KeepOctets(Bytes bytes);

private:
    struct Stored {
        Varbind varbind;
        VTWIDUS_VARBIND record{};
    };
    struct StoredOctets {
        Bytes bytes;
        VTWIDUS_OCTETS pair{};
    };

    int version_;
    std::deque<std::unique_ptr<Stored>> varbinds_;
    std::deque<std::unique_ptr<StoredOctets>> octets_;
};

} // namespace vtwidussim
