#include "snmp_types.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>

namespace vtwidussim {

Bytes EncodeSignedMinimal(std::int32_t value) {
    Bytes out = EncodeInt32BigEndian(value);
    // Drop leading bytes that only repeat the sign of the next one.
    while (out.size() > 1 &&
           ((out[0] == 0x00 && (out[1] & 0x80) == 0) || (out[0] == 0xFF && (out[1] & 0x80) != 0))) {
        out.erase(out.begin());
    }
    return out;
}

Bytes EncodeUnsignedMinimal(std::uint32_t value) {
    Bytes out{0x00, static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
              static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    while (out.size() > 1 && out[0] == 0x00 && (out[1] & 0x80) == 0) {
        out.erase(out.begin());
    }
    return out;
}

Bytes EncodeInt32BigEndian(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(u >> 24), static_cast<std::uint8_t>(u >> 16),
            static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)};
}

std::optional<std::int32_t> DecodeSigned(const std::uint8_t* bytes, std::size_t length) {
    if (bytes == nullptr || length == 0 || length > 4) {
        return std::nullopt;
    }
    std::uint32_t u = (bytes[0] & 0x80) != 0 ? 0xFFFFFFFFu : 0u;
    for (std::size_t i = 0; i < length; ++i) {
        u = (u << 8) | bytes[i];
    }
    return static_cast<std::int32_t>(u);
}

std::optional<std::uint32_t> DecodeUnsigned(const std::uint8_t* bytes, std::size_t length) {
    if (bytes == nullptr || length == 0 || length > 5 || (length == 5 && bytes[0] != 0)) {
        return std::nullopt;
    }
    std::uint32_t u = 0;
    for (std::size_t i = 0; i < length; ++i) {
        u = (u << 8) | bytes[i];
    }
    return u;
}

Value IntegerValue(std::int32_t v) {
    return {static_cast<std::uint8_t>(SnmpType::Integer), EncodeSignedMinimal(v)};
}
Value GaugeValue(std::uint32_t v) {
    return {static_cast<std::uint8_t>(SnmpType::Gauge32), EncodeUnsignedMinimal(v)};
}
Value OctetIntValue(std::int32_t v) {
    return {static_cast<std::uint8_t>(SnmpType::OctetString), EncodeInt32BigEndian(v)};
}
Value TextValue(std::string_view text) {
    return {static_cast<std::uint8_t>(SnmpType::OctetString), Bytes(text.begin(), text.end())};
}

std::optional<Bytes> ParseIpv4(std::string_view text) {
    const std::string s(text);
    in_addr addr{};
    if (inet_pton(AF_INET, s.c_str(), &addr) != 1) {
        return std::nullopt;
    }
    const auto* p = reinterpret_cast<const std::uint8_t*>(&addr);
    return Bytes(p, p + 4);
}

std::string FormatIpv4(const Bytes& bytes) {
    if (bytes.size() != 4) {
        return {};
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return buf;
}

std::optional<Bytes> ParseIpv6(std::string_view text) {
    const std::string s(text);
    in6_addr addr{};
    if (inet_pton(AF_INET6, s.c_str(), &addr) != 1) {
        return std::nullopt;
    }
    const auto* p = reinterpret_cast<const std::uint8_t*>(&addr);
    return Bytes(p, p + 16);
}

std::string FormatIpv6(const Bytes& bytes) {
    if (bytes.size() != 16) {
        return {};
    }
    in6_addr addr{};
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<std::uint8_t*>(&addr));
    char buf[INET6_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET6, &addr, buf, sizeof buf) == nullptr) {
        return {};
    }
    return buf;
}

namespace {
std::string Hex(const Bytes& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

bool IsPrintable(const Bytes& bytes) {
    if (bytes.empty()) {
        return false;
    }
    for (std::uint8_t b : bytes) {
        if (b < 0x20 || b > 0x7E) {
            return false;
        }
    }
    return true;
}
} // namespace

std::string DescribeValue(const Value& value) {
    switch (static_cast<SnmpType>(value.type)) {
    case SnmpType::Null:
        return "null";
    case SnmpType::NoSuchObject:
        return "noSuchObject";
    case SnmpType::NoSuchInstance:
        return "noSuchInstance";
    case SnmpType::Integer:
        if (auto v = DecodeSigned(value.bytes.data(), value.bytes.size())) {
            return "i:" + std::to_string(*v);
        }
        break;
    case SnmpType::Gauge32:
        if (auto v = DecodeUnsigned(value.bytes.data(), value.bytes.size())) {
            return "g:" + std::to_string(*v);
        }
        break;
    case SnmpType::IpAddress:
        if (value.bytes.size() == 4) {
            return "a:" + FormatIpv4(value.bytes);
        }
        break;
    case SnmpType::OctetString:
        return IsPrintable(value.bytes) ? "s:" + std::string(value.bytes.begin(), value.bytes.end())
                                        : "x:" + Hex(value.bytes);
    }
    char tag[8];
    std::snprintf(tag, sizeof tag, "t%02x:", value.type);
    return tag + Hex(value.bytes);
}

} // namespace vtwidussim
