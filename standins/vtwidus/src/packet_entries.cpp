// Entries 1 to 20 of the packet library: packets, their header fields, varbinds and the
// integer codecs.
#include "entry_guard.h"
#include "oid.h"

#include <cstring>

using namespace vtwidussim;

namespace {

// Longest community or context name that a packet takes.
constexpr std::size_t kMaxNameLength = 255;
// Longest value that a varbind takes.
constexpr std::uint32_t kMaxValueLength = 65535;

int StoreName(std::string& field, const char* name) {
    if (name == nullptr) {
        return VTWIDUS_ERROR_CODE_PARAM;
    }
    if (std::strlen(name) > kMaxNameLength) {
        return VTWIDUS_ERROR_CODE_ENCODE;
    }
    field = name;
    return VTWIDUS_ERROR_CODE_SUCCESS;
}

template <typename T> int ReadField(T* out, T value) {
    if (out == nullptr) {
        return VTWIDUS_ERROR_CODE_PARAM;
    }
    *out = value;
    return VTWIDUS_ERROR_CODE_SUCCESS;
}

} // namespace

extern "C" {

VTWIDUS_PACKET VTWIDUS_CALL VTWIDUS_CreatePacket(int version) {
    try {
        auto lock = LockScenario();
        if (Intercept(lock, VTWIDUSSIM_ENTRY_CreatePacket).result) {
            return nullptr;
        }
        if (version != VTWIDUS_PACKET_VERSION_3) {
            return nullptr;
        }
        return LibraryState::Get().NewPacket(version);
    } catch (...) {
        return nullptr;
    }
}

int VTWIDUS_CALL VTWIDUS_DestroyPacket(VTWIDUS_PACKET packet) {
    return Guarded([&]() -> int {
        auto lock = LockScenario();
        const Interception faults = Intercept(lock, VTWIDUSSIM_ENTRY_DestroyPacket);
        if (packet == nullptr) {
            return VTWIDUS_ERROR_CODE_SUCCESS;
        }
        if (!LibraryState::Get().DestroyPacket(packet)) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        // A fault may report failure, but the packet is gone all the same.
        return faults.result.value_or(VTWIDUS_ERROR_CODE_SUCCESS);
    });
}

int VTWIDUS_CALL VTWIDUS_SetCommunityName(VTWIDUS_PACKET packet, const char* name) {
    return WithPacket(VTWIDUSSIM_ENTRY_SetCommunityName, packet,
                      [&](Packet& p) { return StoreName(p.communityName, name); });
}

int VTWIDUS_CALL VTWIDUS_SetMsgId(VTWIDUS_PACKET packet, int32_t msgId) {
    return WithPacket(VTWIDUSSIM_ENTRY_SetMsgId, packet, [&](Packet& p) {
        p.msgId = msgId;
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_GetMsgId(VTWIDUS_PACKET packet, int32_t* msgId) {
    return WithPacket(VTWIDUSSIM_ENTRY_GetMsgId, packet,
                      [&](Packet& p) { return ReadField(msgId, p.msgId); });
}

int VTWIDUS_CALL VTWIDUS_EnableReportableFlag(VTWIDUS_PACKET packet, int enable) {
    return WithPacket(VTWIDUSSIM_ENTRY_EnableReportableFlag, packet, [&](Packet& p) {
        p.reportable = enable != 0;
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_SetContextName(VTWIDUS_PACKET packet, const char* name) {
    return WithPacket(VTWIDUSSIM_ENTRY_SetContextName, packet,
                      [&](Packet& p) { return StoreName(p.contextName, name); });
}

int VTWIDUS_CALL VTWIDUS_SetCommand(VTWIDUS_PACKET packet, uint8_t command) {
    return WithPacket(VTWIDUSSIM_ENTRY_SetCommand, packet, [&](Packet& p) {
        if (command < VTWIDUS_COMMAND_GET || command > VTWIDUS_COMMAND_SET) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        p.command = command;
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_GetCommand(VTWIDUS_PACKET packet, uint8_t* command) {
    return WithPacket(VTWIDUSSIM_ENTRY_GetCommand, packet,
                      [&](Packet& p) { return ReadField(command, p.command); });
}

int VTWIDUS_CALL VTWIDUS_SetRequestId(VTWIDUS_PACKET packet, int32_t requestId) {
    return WithPacket(VTWIDUSSIM_ENTRY_SetRequestId, packet, [&](Packet& p) {
        p.requestId = requestId;
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_GetRequestId(VTWIDUS_PACKET packet, int32_t* requestId) {
    return WithPacket(VTWIDUSSIM_ENTRY_GetRequestId, packet,
                      [&](Packet& p) { return ReadField(requestId, p.requestId); });
}

int VTWIDUS_CALL VTWIDUS_GetErrorStatus(VTWIDUS_PACKET packet, int* errorStatus) {
    return WithPacket(VTWIDUSSIM_ENTRY_GetErrorStatus, packet,
                      [&](Packet& p) { return ReadField(errorStatus, p.errorStatus); });
}

int VTWIDUS_CALL VTWIDUS_GetErrorIndex(VTWIDUS_PACKET packet, int* errorIndex) {
    return WithPacket(VTWIDUSSIM_ENTRY_GetErrorIndex, packet,
                      [&](Packet& p) { return ReadField(errorIndex, p.errorIndex); });
}

int VTWIDUS_CALL VTWIDUS_AddOid(VTWIDUS_PACKET packet, const VTWIDUS_VARBIND* varbind) {
    return WithPacket(VTWIDUSSIM_ENTRY_AddOid, packet, [&](Packet& p) {
        if (varbind == nullptr || varbind->oid_ == nullptr ||
            (varbind->octets_.length_ > 0 && varbind->octets_.value_ == nullptr)) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        const std::string oid(varbind->oid_);
        if (!IsWellFormedOid(oid) || varbind->octets_.length_ > kMaxValueLength) {
            return VTWIDUS_ERROR_CODE_ENCODE;
        }
        const std::uint8_t* bytes = varbind->octets_.value_;
        p.AddVarbind({oid, {varbind->type_, Bytes(bytes, bytes + varbind->octets_.length_)}});
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_GetOidCount(VTWIDUS_PACKET packet) {
    return Guarded([&]() -> int {
        auto lock = LockScenario();
        const Interception faults = Intercept(lock, VTWIDUSSIM_ENTRY_GetOidCount);
        if (faults.result) {
            return *faults.result;
        }
        const Packet* p = LibraryState::Get().FindPacket(packet);
        return p == nullptr ? 0 : static_cast<int>(p->VarbindCount());
    });
}

int VTWIDUS_CALL VTWIDUS_GetOid(VTWIDUS_PACKET packet, int index, const VTWIDUS_VARBIND** varbind) {
    return WithPacket(VTWIDUSSIM_ENTRY_GetOid, packet, [&](Packet& p) {
        if (varbind == nullptr) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        const VTWIDUS_VARBIND* record =
            index < 0 ? nullptr : p.VarbindRecord(static_cast<std::size_t>(index));
        if (record == nullptr) {
            return VTWIDUS_ERROR_CODE_NOT_FOUND;
        }
        *varbind = record;
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_OctetsToInt(VTWIDUS_PACKET packet, const VTWIDUS_OCTETS* octets,
                                     int32_t* value) {
    return WithPacket(VTWIDUSSIM_ENTRY_OctetsToInt, packet, [&](Packet&) {
        if (octets == nullptr || value == nullptr) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        const auto v = DecodeSigned(octets->value_, octets->length_);
        if (!v) {
            return VTWIDUS_ERROR_CODE_DECODE;
        }
        *value = *v;
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_OctetsToUnsignedInt(VTWIDUS_PACKET packet, const VTWIDUS_OCTETS* octets,
                                             uint32_t* value) {
    return WithPacket(VTWIDUSSIM_ENTRY_OctetsToUnsignedInt, packet, [&](Packet&) {
        if (octets == nullptr || value == nullptr) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        const auto v = DecodeUnsigned(octets->value_, octets->length_);
        if (!v) {
            return VTWIDUS_ERROR_CODE_DECODE;
        }
        *value = *v;
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_IntToOctets(VTWIDUS_PACKET packet, int32_t value,
                                     const VTWIDUS_OCTETS** octets) {
    return WithPacket(VTWIDUSSIM_ENTRY_IntToOctets, packet, [&](Packet& p) {
        if (octets == nullptr) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        *octets = p.KeepOctets(EncodeSignedMinimal(value));
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_UnsignedIntToOctets(VTWIDUS_PACKET packet, uint32_t value,
                                             const VTWIDUS_OCTETS** octets) {
    return WithPacket(VTWIDUSSIM_ENTRY_UnsignedIntToOctets, packet, [&](Packet& p) {
        if (octets == nullptr) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        *octets = p.KeepOctets(EncodeUnsignedMinimal(value));
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

} // extern "C"
