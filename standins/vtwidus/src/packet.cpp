#include "packet.h"

namespace vtwidussim {

void Packet::AddVarbind(Varbind varbind) {
    auto stored = std::make_unique<Stored>();
    stored->varbind = std::move(varbind);
    stored->record.oid_ = stored->varbind.oid.c_str();
    stored->record.type_ = stored->varbind.value.type;
    stored->record.octets_.length_ = static_cast<std::uint32_t>(stored->varbind.value.bytes.size());
    stored->record.octets_.value_ =
        stored->varbind.value.bytes.empty() ? nullptr : stored->varbind.value.bytes.data();
    varbinds_.push_back(std::move(stored));
}

void Packet::ReplaceVarbinds(std::vector<Varbind> varbinds) {
    varbinds_.clear();
    for (Varbind& vb : varbinds) {
        AddVarbind(std::move(vb));
    }
}

const VTWIDUS_VARBIND* Packet::VarbindRecord(std::size_t index) const {
    return index < varbinds_.size() ? &varbinds_[index]->record : nullptr;
}

std::vector<Varbind> Packet::Varbinds() const {
    std::vector<Varbind> out;
    out.reserve(varbinds_.size());
    for (const auto& stored : varbinds_) {
        out.push_back(stored->varbind);
    }
    return out;
}

std::vector<std::string> Packet::Oids() const {
    std::vector<std::string> out;
    out.reserve(varbinds_.size());
    for (const auto& stored : varbinds_) {
        out.push_back(stored->varbind.oid);
    }
    return out;
}

const VTWIDUS_OCTETS* Packet::KeepOctets(Bytes bytes) {
    auto stored = std::make_unique<StoredOctets>();
    stored->bytes = std::move(bytes);
    stored->pair.length_ = static_cast<std::uint32_t>(stored->bytes.size());
    stored->pair.value_ = stored->bytes.empty() ? nullptr : stored->bytes.data();
    octets_.push_back(std::move(stored));
    return &octets_.back()->pair;
}

} // namespace vtwidussim
