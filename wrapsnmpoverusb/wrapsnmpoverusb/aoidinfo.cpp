#include "aoidinfo.h"

#include "convert.h"
#include "packet.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <typeinfo>

namespace vtwidwus {

bool AOidInfo::SetOidOfGetRequest(VTWIDUS_PACKET) {
    return false;
}
bool AOidInfo::GetOidOfGetRequest(VTWIDUS_PACKET) {
    return false;
}
bool AOidInfo::SetOidOfSetRequest(VTWIDUS_PACKET) {
    return false;
}
bool AOidInfo::GetOidOfSetRequest(VTWIDUS_PACKET) {
    return false;
}
void AOidInfo::GetInfoTagData(void*) const {}
void AOidInfo::SetInfoTagData(const void*) {}
bool AOidInfo::SetOrgInstance(const AOidInfo*) {
    return false;
}

bool AOidInfo::OidEquals(const VTWIDUS_VARBIND& varbind, std::string_view oid) noexcept {
    return varbind.oid_ != nullptr && std::string_view(varbind.oid_) == oid;
}

bool AOidInfo::AppendIndex(std::string& oid, int index, const char* traceText) {
    std::array<char, 12> digits{};
    if (Convert().IntToString(index, digits.data(), digits.size(), 10) != 0) {
        VTW_TRACE(4, "%s", traceText);
        return false;
    }
    oid += '.';
    oid += digits.data();
    return true;
}

bool AOidInfo::AnyTaken(int taken) {
    if (taken < 1) {
        VTW_TRACE(3, "GetOidOfGetRequest:getItemCount");
        return false;
    }
    return true;
}

bool AOidInfo::SetAnswered(VTWIDUS_PACKET response, std::string_view oid) {
    const int counted = WalkResponse(response, [&](const VTWIDUS_VARBIND& v) {
        return OidEquals(v, oid) && !GetValueToToHexString(v).empty();
    });
    return AnyTaken(counted);
}

// ---- Builders ---------------------------------------------------------------------------------

namespace {

int AddVarbind(VTWIDUS_PACKET packet, const char* oid, std::uint8_t type, const void* bytes,
               std::uint32_t length) {
    VTWIDUS_VARBIND varbind{};
    varbind.oid_ = oid;
    varbind.type_ = type;
    varbind.octets_.length_ = length;
    varbind.octets_.value_ = static_cast<const std::uint8_t*>(bytes);
    return Vtwidus().pfnVTWIDUS_AddOid_(packet, &varbind);
}

} // namespace

bool AOidInfo::AddGetRequestOid(VTWIDUS_PACKET packet, const char* oid) {
    const int r = AddVarbind(packet, oid, VTWIDUS_TYPE_NULL, nullptr, 0);
    if (r != 0) {
        VTW_TRACE(3, "AddGetRequestOid:pfnVTWIDUS_AddOid_():%d", r);
        return false;
    }
    return true;
}

namespace {
bool AddIntegerLike(VTWIDUS_PACKET packet, const char* oid, int value, std::uint8_t type) {
    const VTWIDUS_OCTETS* octets = nullptr;
    int r = Vtwidus().pfnVTWIDUS_IntToOctets_(packet, value, &octets);
    if (r == 0 && octets == nullptr) {
        r = VTWIDUS_ERROR_CODE_FAILED;
    }
    if (r != 0) {
        VTW_TRACE(3, "AddSetRequestOidIntValue:pfnVTWIDUS_IntToOctets_():%d", r);
        return false;
    }
    r = AddVarbind(packet, oid, type, octets->value_, octets->length_);
    if (r != 0) {
        VTW_TRACE(3, "AddSetRequestOidIntValue:pfnVTWIDUS_AddOid_():%d", r);
        return false;
    }
    return true;
}
} // namespace

bool AOidInfo::AddSetRequestOidIntValue(VTWIDUS_PACKET packet, const char* oid, int value) {
    return AddIntegerLike(packet, oid, value, VTWIDUS_TYPE_INTEGER);
}

bool AOidInfo::AddSetRequestOidGaugeValue(VTWIDUS_PACKET packet, const char* oid, int value) {
    return AddIntegerLike(packet, oid, value, VTWIDUS_TYPE_GAUGE32);
}

bool AOidInfo::AddSetRequestOidStringValue(VTWIDUS_PACKET packet, const char* oid,
                                           std::string_view value) {
    const int r = AddVarbind(packet, oid, VTWIDUS_TYPE_OCTET_STRING, value.data(),
                             static_cast<std::uint32_t>(value.size()));
    if (r != 0) {
        VTW_TRACE(3, "AddSetRequestOidStringValue:pfnVTWIDUS_AddOid_():%d", r);
        return false;
    }
    return true;
}

bool AOidInfo::AddSetRequestOidIpAddrValue(VTWIDUS_PACKET packet, const char* oid,
                                           const char* text) {
    IN_ADDR address{};
    if (text == nullptr || ::inet_pton(AF_INET, text, &address) != 1) {
        VTW_TRACE(4, "AddSetRequestOidIpAddrValue:inet_pton()");
        return false;
    }
    const int r = AddVarbind(packet, oid, VTWIDUS_TYPE_IPADDRESS, &address, 4);
    if (r != 0) {
        VTW_TRACE(3, "AddSetRequestOidIpAddrValue:pfnVTWIDUS_AddOid_():%d", r);
        return false;
    }
    return true;
}

bool AOidInfo::AddSetRequestOidIpV6AddrValue(VTWIDUS_PACKET packet, const char* oid,
                                             const char* text) {
    IN6_ADDR address{};
    if (text == nullptr || ::inet_pton(AF_INET6, text, &address) != 1) {
        VTW_TRACE(4, "AddSetRequestOidIpV6AddrValue:inet_pton()");
        return false;
    }
    const int r = AddVarbind(packet, oid, VTWIDUS_TYPE_OCTET_STRING, &address, 16);
    if (r != 0) {
        VTW_TRACE(3, "AddSetRequestOidIpV6AddrValue:pfnVTWIDUS_AddOid_():%d", r);
        return false;
    }
    return true;
}

bool AOidInfo::AddSetRequestOidOctetValueByInt(VTWIDUS_PACKET packet, const char* oid, int value) {
    const auto u = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(u >> 24),
                                   static_cast<std::uint8_t>(u >> 16),
                                   static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)};
    const int r = AddVarbind(packet, oid, VTWIDUS_TYPE_OCTET_STRING, bytes, 4);
    if (r != 0) {
        VTW_TRACE(3, "AddSetRequestOidOctetValueByInt:pfnVTWIDUS_AddOid_():%d", r);
        return false;
    }
    return true;
}

// ---- Decoders ---------------------------------------------------------------------------------

namespace {

bool IsNoSuch(const VTWIDUS_VARBIND& v) noexcept {
    return v.type_ == VTWIDUS_TYPE_NOSUCHOBJECT || v.type_ == VTWIDUS_TYPE_NOSUCHINSTANCE;
}
bool IsEmpty(const VTWIDUS_VARBIND& v) noexcept {
    return v.octets_.value_ == nullptr || v.octets_.length_ == 0;
}
const char* Chars(const VTWIDUS_VARBIND& v) noexcept {
    return reinterpret_cast<const char*>(v.octets_.value_);
}

} // namespace

std::string AOidInfo::GetValueToString(const VTWIDUS_VARBIND& varbind) {
    if (IsNoSuch(varbind)) {
        VTW_TRACE(1, "GetValueToString:noSuchObject or noSuchInstance");
        return {};
    }
    if (IsEmpty(varbind)) {
        VTW_TRACE(3, "GetValueToString:param");
        return {};
    }
    try {
        // Text ends at the first NUL of the value, or with the value.
        return std::string(Chars(varbind), ::strnlen(Chars(varbind), varbind.octets_.length_));
    } catch (const std::bad_alloc&) {
        VTW_TRACE(4, "GetValueToString:bad_alloc");
        return {};
    }
}

namespace {
template <typename Out, typename Entry>
bool OctetsToNumber(const VTWIDUS_VARBIND& varbind, Entry entry, Out& out, bool& packetMade) {
    unique_packet scratch = MakePacket();
    packetMade = static_cast<bool>(scratch);
    if (!scratch) {
        return false;
    }
    return entry(scratch.get(), &varbind.octets_, &out) == 0;
}
} // namespace

int AOidInfo::GetValueToInt(const VTWIDUS_VARBIND& varbind) {
    if (IsNoSuch(varbind)) {
        VTW_TRACE(1, "GetValueToInt:noSuchObject or noSuchInstance");
        return kNoSuchIntValue;
    }
    if (IsEmpty(varbind)) {
        VTW_TRACE(3, "GetValueToInt:param");
        return kUndecodedIntValue;
    }
    std::int32_t value = 0;
    bool packetMade = false;
    if (!OctetsToNumber(varbind, Vtwidus().pfnVTWIDUS_OctetsToInt_, value, packetMade)) {
        if (!packetMade) {
            VTW_TRACE(3, "GetValueToInt:pfnVTWIDUS_CreatePacket_()");
        } else {
            VTW_TRACE(3, "GetValueToInt:pfnVTWIDUS_OctetsToInt_()");
        }
        return kUndecodedIntValue;
    }
    return value;
}

int AOidInfo::GetValueToUnsignedInt(const VTWIDUS_VARBIND& varbind) {
    if (IsNoSuch(varbind)) {
        VTW_TRACE(1, "GetValueToUnsingedInt:noSuchObject or noSuchInstance");
        return kNoSuchIntValue;
    }
    if (IsEmpty(varbind)) {
        VTW_TRACE(3, "GetValueToUnsignedInt:param");
        return kUndecodedIntValue;
    }
    std::uint32_t value = 0;
    bool packetMade = false;
    if (!OctetsToNumber(varbind, Vtwidus().pfnVTWIDUS_OctetsToUnsignedInt_, value, packetMade)) {
        if (!packetMade) {
            VTW_TRACE(3, "GetValueToUnsignedInt:pfnVTWIDUS_CreatePacket_()");
        } else {
            VTW_TRACE(3, "GetValueToUnsignedInt:pfnVTWIDUS_OctetsToUnsignedInt_()");
        }
        return kUndecodedIntValue;
    }
    return static_cast<int>(value);
}

std::string AOidInfo::GetValueToToHexString(const VTWIDUS_VARBIND& varbind) {
    if (IsNoSuch(varbind)) {
        VTW_TRACE(1, "GetValueToToHexString:noSuchObject or noSuchInstance");
        return {};
    }
    if (IsEmpty(varbind)) {
        VTW_TRACE(3, "GetValueToToHexString:param");
        return {};
    }
    try {
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string text;
        text.reserve(static_cast<std::size_t>(varbind.octets_.length_) * 2);
        for (std::uint32_t i = 0; i < varbind.octets_.length_; ++i) {
            const std::uint8_t b = varbind.octets_.value_[i];
            text += kDigits[b >> 4];
            text += kDigits[b & 0x0f];
        }
        return text;
    } catch (const std::bad_alloc&) {
        VTW_TRACE(4, "GetValueToToHexString:bad_alloc");
        return {};
    }
}

std::string AOidInfo::GetValueToIpAddr(const VTWIDUS_VARBIND& varbind) {
    if (IsNoSuch(varbind)) {
        VTW_TRACE(1, "GetValueToIpAddr:noSuchObject or noSuchInstance");
        return {};
    }
    if (IsEmpty(varbind) || varbind.octets_.length_ < 4) {
        VTW_TRACE(3, "GetValueToIpAddr:param");
        return {};
    }
    IN_ADDR address{};
    std::memcpy(&address, varbind.octets_.value_, 4);
    char text[INET_ADDRSTRLEN] = {};
    if (::inet_ntop(AF_INET, &address, text, sizeof text) == nullptr) {
        VTW_TRACE(4, "GetValueToIpAddr:memmove_s()");
        return {};
    }
    return text;
}

std::string AOidInfo::GetValueToIpV6Addr(const VTWIDUS_VARBIND& varbind) {
    if (IsNoSuch(varbind)) {
        VTW_TRACE(1, "GetValueToIpV6Addr:noSuchObject or noSuchInstance");
        return {};
    }
    if (IsEmpty(varbind) || varbind.octets_.length_ < 16) {
        VTW_TRACE(3, "GetValueToIpV6Addr:param");
        return {};
    }
    IN6_ADDR address{};
    std::memcpy(&address, varbind.octets_.value_, 16);
    char text[INET6_ADDRSTRLEN] = {};
    if (::inet_ntop(AF_INET6, &address, text, sizeof text) == nullptr) {
        VTW_TRACE(4, "GetValueToIpV6Addr:memmove_s()");
        return {};
    }
    return text;
}

} // namespace vtwidwus
