// Values as the simulated printer's agent keeps and sends them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vtwidussim {

// SNMP type tags carried in varbinds.
enum class SnmpType : std::uint8_t {
    Integer = 0x02,
    OctetString = 0x04,
    Null = 0x05,
    IpAddress = 0x40,
    Gauge32 = 0x42,
    NoSuchObject = 0x80,
    NoSuchInstance = 0x81,
};

// SNMP error status values that the agent answers with.
enum class ErrorStatus : int {
    NoError = 0,
    TooBig = 1,
    GenErr = 5,
    WrongType = 7,
    WrongLength = 8,
    WrongValue = 10,
    NoCreation = 11,
    NotWritable = 17,
};

using Bytes = std::vector<std::uint8_t>;

struct Value {
    std::uint8_t type = static_cast<std::uint8_t>(SnmpType::Null);
    Bytes bytes;

    bool operator==(const Value&) const = default;
};

struct Varbind {
    std::string oid;
    Value value;
};

// Integer contents as the agent encodes them: big-endian two's complement, shortest form.
Bytes EncodeSignedMinimal(std::int32_t value);
// Unsigned contents, shortest form with a leading zero byte when the top bit is set.
Bytes EncodeUnsignedMinimal(std::uint32_t value);
// Four bytes, most significant first (the form of the printer's octet-coded words).
Bytes EncodeInt32BigEndian(std::int32_t value);

// Reads 1 to 4 big-endian bytes as a signed value (sign-extended).
std::optional<std::int32_t> DecodeSigned(const std::uint8_t* bytes, std::size_t length);
// Reads 1 to 4 big-endian bytes, or 5 with a leading zero, as an unsigned value.
std::optional<std::uint32_t> DecodeUnsigned(const std::uint8_t* bytes, std::size_t length);

Value IntegerValue(std::int32_t v);
Value GaugeValue(std::uint32_t v);
Value OctetIntValue(std::int32_t v);
Value TextValue(std::string_view text);

// Dotted IPv4 text to 4 bytes and back; nullopt for malformed text.
std::optional<Bytes> ParseIpv4(std::string_view text);
std::string FormatIpv4(const Bytes& bytes);
// IPv6 text to 16 bytes and back.
std::optional<Bytes> ParseIpv6(std::string_view text);
std::string FormatIpv6(const Bytes& bytes);

// A one-line rendering of a value for the exchange journal: "i:5", "g:5", "s:text",
// "x:00ff", "a:1.2.3.4", "null", "noSuchObject", "noSuchInstance", "t<hex>:<hex>".
std::string DescribeValue(const Value& value);

} // namespace vtwidussim
