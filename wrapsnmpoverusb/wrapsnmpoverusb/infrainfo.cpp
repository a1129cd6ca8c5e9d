#include "infrainfo.h"

namespace vtwidwus {

namespace {
using R = tagUsbSnmpInfraInfo;
const OidField kFields[] = {
    {VTW_OID(".1.3.1.11.0"), VTW_FIELD(R, networkSelect_), GetKind::Int, SetKind::OctetsByInt},
    {VTW_OID(".1.3.2.100.2.0"), VTW_FIELD(R, dot11Mode_), GetKind::Int, SetKind::OctetsByInt},
    {VTW_IF10(3, 3), VTW_FIELD(R, ipv4AddressMethod_), GetKind::Int, SetKind::Integer},
    {VTW_IF10(4, 3), VTW_FIELD(R, ipv4Address_), GetKind::IpV4, SetKind::IpV4},
    {VTW_IF10(5, 3), VTW_FIELD(R, ipv4SubnetMask_), GetKind::IpV4, SetKind::IpV4},
    {VTW_IF10(6, 3), VTW_FIELD(R, ipv4DefaultGateway_), GetKind::IpV4, SetKind::IpV4},
    {VTW_IF20(2, 3), VTW_FIELD(R, ipv6Enable_), GetKind::Int, SetKind::Integer},
    {VTW_IF20(3, 3), VTW_FIELD(R, ipv6StatelessAddress_), GetKind::Int, SetKind::Integer},
    {VTW_IF20(4, 3), VTW_FIELD(R, ipv6StatefulAddress_), GetKind::Int, SetKind::Integer},
    {VTW_IF20(5, 3), VTW_FIELD(R, ipv6ManualAddress_), GetKind::Int, SetKind::Integer},
    {VTW_IF20(27, 3), VTW_FIELD(R, ipv6Address_), GetKind::IpV6, SetKind::IpV6},
    {VTW_IF20(28, 3), VTW_FIELD(R, ipv6PrefixLength_), GetKind::Int, SetKind::Integer},
    {VTW_IF20(29, 3), VTW_FIELD(R, ipv6DefaultGateway_), GetKind::IpV6, SetKind::IpV6},
    {VTW_IF20(30, 3), VTW_FIELD(R, ipv6GatewayPrefixLength_), GetKind::Int, SetKind::Integer},
    {VTW_OID(".1.3.2.100.10.1.0"), VTW_FIELD(R, band_), GetKind::Int, SetKind::None},
    {VTW_OID(".1.3.2.100.10.3.0"), VTW_FIELD(R, ssid_), GetKind::Text, SetKind::Text},
    {VTW_OID(".1.3.2.100.10.6.0"), VTW_FIELD(R, authentication_), GetKind::Int, SetKind::Integer},
    {VTW_OID(".1.3.2.100.10.7.0"), VTW_FIELD(R, encryption_), GetKind::Int, SetKind::Integer},
    {VTW_OID(".1.3.2.100.10.100.0"), VTW_FIELD(R, wepKeyIndex_), GetKind::None, SetKind::Integer},
    {VTW_OID(".1.3.2.100.10.101.0"), VTW_FIELD(R, wepKeyFormat_), GetKind::None, SetKind::Integer},
    {VTW_OID(".1.3.2.100.10.102.0"), VTW_FIELD(R, wepKey1_), GetKind::None, SetKind::Text},
    {VTW_OID(".1.3.2.100.10.103.0"), VTW_FIELD(R, wepKey2_), GetKind::None, SetKind::Text},
    {VTW_OID(".1.3.2.100.10.104.0"), VTW_FIELD(R, wepKey3_), GetKind::None, SetKind::Text},
    {VTW_OID(".1.3.2.100.10.105.0"), VTW_FIELD(R, wepKey4_), GetKind::None, SetKind::Text},
    {VTW_OID(".1.3.2.100.10.110.0"), VTW_FIELD(R, networkKey_), GetKind::None, SetKind::Text},
    // The channel goes with every SET of this group, changed or not, and last.
    {VTW_OID(".1.3.2.100.10.5.0"), VTW_FIELD(R, channel_), GetKind::Int, SetKind::Gauge, true},
};

int MapAuthentication(int value) noexcept {
    switch (value) {
    case 6:
    case 7:
        return 10;
    case 8:
    case 9:
        return 11;
    default:
        return value;
    }
}
} // namespace

CInfraInfo::CInfraInfo() noexcept : CRecordInfo(kFields) {}

void CInfraInfo::SetInfoTagData(const void* record) {
    if (record == nullptr) {
        return;
    }
    CRecordInfo::SetInfoTagData(record);
    values_.authentication_ = MapAuthentication(values_.authentication_);
}

} // namespace vtwidwus
