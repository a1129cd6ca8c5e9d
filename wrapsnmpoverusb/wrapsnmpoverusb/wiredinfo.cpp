#include "wiredinfo.h"

namespace vtwidwus {

namespace {
using R = tagUsbSnmpWiredInfo;
const OidField kFields[] = {
    {VTW_OID(".1.3.1.11.0"), VTW_FIELD(R, networkSelect_), GetKind::Int, SetKind::OctetsByInt},
    {VTW_IF10(3, 2), VTW_FIELD(R, ipv4AddressMethod_), GetKind::Int, SetKind::Integer},
    {VTW_IF10(4, 2), VTW_FIELD(R, ipv4Address_), GetKind::IpV4, SetKind::IpV4},
    {VTW_IF10(5, 2), VTW_FIELD(R, ipv4SubnetMask_), GetKind::IpV4, SetKind::IpV4},
    {VTW_IF10(6, 2), VTW_FIELD(R, ipv4DefaultGateway_), GetKind::IpV4, SetKind::IpV4},
    {VTW_IF20(2, 2), VTW_FIELD(R, ipv6Enable_), GetKind::Int, SetKind::Integer},
    {VTW_IF20(3, 2), VTW_FIELD(R, ipv6StatelessAddress_), GetKind::Int, SetKind::Integer},
    {VTW_IF20(4, 2), VTW_FIELD(R, ipv6StatefulAddress_), GetKind::Int, SetKind::Integer},
    {VTW_IF20(5, 2), VTW_FIELD(R, ipv6ManualAddress_), GetKind::Int, SetKind::Integer},
    {VTW_IF20(27, 2), VTW_FIELD(R, ipv6Address_), GetKind::IpV6, SetKind::IpV6},
    {VTW_IF20(28, 2), VTW_FIELD(R, ipv6PrefixLength_), GetKind::Int, SetKind::Integer},
    {VTW_IF20(29, 2), VTW_FIELD(R, ipv6DefaultGateway_), GetKind::IpV6, SetKind::IpV6},
    {VTW_IF20(30, 2), VTW_FIELD(R, ipv6GatewayPrefixLength_), GetKind::Int, SetKind::Integer},
};
} // namespace

CWiredInfo::CWiredInfo() noexcept : CRecordInfo(kFields) {}

} // namespace vtwidwus
