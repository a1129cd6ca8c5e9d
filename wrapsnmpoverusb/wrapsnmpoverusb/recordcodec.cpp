#include "recordinfo.h"

#include <string>

namespace vtwidwus::recordcodec {

namespace {

int ReadInt(const unsigned char* record, const OidField& f) noexcept {
    int v = 0;
    std::memcpy(&v, record + f.offset, sizeof v);
    return v;
}
void WriteInt(unsigned char* record, const OidField& f, int v) noexcept {
    std::memcpy(record + f.offset, &v, sizeof v);
}
bool IsTextField(const OidField& f) noexcept {
    return f.get == GetKind::Text || f.get == GetKind::IpV4 || f.get == GetKind::IpV6 ||
           f.set == SetKind::Text || f.set == SetKind::IpV4 || f.set == SetKind::IpV6;
}
const char* Text(const unsigned char* record, const OidField& f) noexcept {
    return reinterpret_cast<const char*>(record + f.offset);
}
std::size_t TextLength(const unsigned char* record, const OidField& f) noexcept {
    return ::strnlen(Text(record, f), f.size);
}
// Stores text cut to the field less its terminator, and always terminated.
void WriteText(unsigned char* record, const OidField& f, const char* text,
               std::size_t length) noexcept {
    const std::size_t n = length < f.size ? length : static_cast<std::size_t>(f.size - 1);
    char* out = reinterpret_cast<char*>(record + f.offset);
    std::memset(out, 0, f.size);
    std::memcpy(out, text, n);
}

} // namespace

void Reset(std::span<const OidField> fields, unsigned char* record, std::size_t size) noexcept {
    std::memset(record, 0, size);
    for (const OidField& f : fields) {
        if (!IsTextField(f)) {
            WriteInt(record, f, -1);
        }
    }
}

bool AddGetVarbinds(VTWIDUS_PACKET request, std::span<const OidField> fields) {
    for (const OidField& f : fields) {
        if (f.get == GetKind::None) {
            continue;
        }
        if (!AOidInfo::AddGetRequestOid(request, f.oid)) {
            VTW_TRACE(3, "SetOidOfGetRequest:AddGetRequestOid()");
            return false;
        }
    }
    return true;
}

namespace {
void DecodeInto(const VTWIDUS_VARBIND& v, const OidField& f, unsigned char* record) {
    std::string text;
    switch (f.get) {
    case GetKind::Int:
        WriteInt(record, f, AOidInfo::GetValueToInt(v));
        return;
    case GetKind::Text:
        text = AOidInfo::GetValueToString(v);
        break;
    case GetKind::IpV4:
        text = AOidInfo::GetValueToIpAddr(v);
        break;
    case GetKind::IpV6:
        text = AOidInfo::GetValueToIpV6Addr(v);
        break;
    case GetKind::None:
        return;
    }
    WriteText(record, f, text.data(), text.size());
}

// A helper class reaches AOidInfo's protected walk.
struct Walker : AOidInfo {
    using AOidInfo::AnyTaken;
    using AOidInfo::OidEquals;
    using AOidInfo::WalkResponse;
};
} // namespace

bool Decode(VTWIDUS_PACKET response, std::span<const OidField> fields, unsigned char* record) {
    const int taken = Walker::WalkResponse(response, [&](const VTWIDUS_VARBIND& v) {
        for (const OidField& f : fields) {
            if (f.get != GetKind::None && Walker::OidEquals(v, f.oid)) {
                DecodeInto(v, f, record);
                return true;
            }
        }
        return false;
    });
    return Walker::AnyTaken(taken);
}

bool FieldEquals(const OidField& f, const unsigned char* a, const unsigned char* b) noexcept {
    if (!IsTextField(f)) {
        return ReadInt(a, f) == ReadInt(b, f);
    }
    const std::size_t la = TextLength(a, f);
    return la == TextLength(b, f) && std::memcmp(Text(a, f), Text(b, f), la) == 0;
}

bool AddSetVarbinds(VTWIDUS_PACKET request, std::span<const OidField> fields,
                    const unsigned char* record, const unsigned char* org) {
    for (const OidField& f : fields) {
        if (f.set == SetKind::None) {
            continue;
        }
        if (!f.sentEveryTime && org != nullptr && FieldEquals(f, record, org)) {
            continue;
        }
        const std::string text(Text(record, f), IsTextField(f) ? TextLength(record, f) : 0);
        switch (f.set) {
        case SetKind::OctetsByInt:
            if (!AOidInfo::AddSetRequestOidOctetValueByInt(request, f.oid, ReadInt(record, f))) {
                VTW_TRACE(3, "SetOidOfSetRequest:AddSetRequestOidOctetValueByInt()");
                return false;
            }
            break;
        case SetKind::Integer:
            if (!AOidInfo::AddSetRequestOidIntValue(request, f.oid, ReadInt(record, f))) {
                VTW_TRACE(3, "SetOidOfSetRequest:AddSetRequestOidIntValue()");
                return false;
            }
            break;
        case SetKind::Gauge:
            if (!AOidInfo::AddSetRequestOidGaugeValue(request, f.oid, ReadInt(record, f))) {
                VTW_TRACE(3, "SetOidOfSetRequest:AddSetRequestOidGaugeValue()");
                return false;
            }
            break;
        case SetKind::Text:
            if (!AOidInfo::AddSetRequestOidStringValue(request, f.oid, text)) {
                VTW_TRACE(3, "SetOidOfSetRequest:AddSetRequestOidStringValue()");
                return false;
            }
            break;
        case SetKind::IpV4:
            if (!AOidInfo::AddSetRequestOidIpAddrValue(request, f.oid, text.c_str())) {
                VTW_TRACE(3, "SetOidOfSetRequest:AddSetRequestOidIpAddrValue()");
                return false;
            }
            break;
        case SetKind::IpV6:
            if (!AOidInfo::AddSetRequestOidIpV6AddrValue(request, f.oid, text.c_str())) {
                VTW_TRACE(3, "SetOidOfSetRequest:AddSetRequestOidIpV6AddrValue()");
                return false;
            }
            break;
        case SetKind::None:
            break;
        }
    }
    return true;
}

void Take(std::span<const OidField> fields, unsigned char* record, const unsigned char* from,
          bool settableOnly) noexcept {
    for (const OidField& f : fields) {
        if (settableOnly && f.set == SetKind::None) {
            continue;
        }
        if (IsTextField(f)) {
            WriteText(record, f, Text(from, f), TextLength(from, f));
        } else {
            WriteInt(record, f, ReadInt(from, f));
        }
    }
}

} // namespace vtwidwus::recordcodec
