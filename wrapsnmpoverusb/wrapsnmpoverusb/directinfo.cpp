#include "directinfo.h"

namespace vtwidwus {

namespace {
using R = tagUsbSnmpDirectInfo;
const OidField kFields[] = {
    {VTW_OID(".1.3.1.11.0"), VTW_FIELD(R, networkSelect_), GetKind::Int, SetKind::OctetsByInt},
    {VTW_OID(".1.3.2.100.2.0"), VTW_FIELD(R, dot11Mode_), GetKind::Int, SetKind::OctetsByInt},
    {VTW_OID(".1.3.2.100.1.0"), VTW_FIELD(R, dot11State_), GetKind::Int, SetKind::None},
    {VTW_OID(".1.3.2.100.11.3.0"), VTW_FIELD(R, directSsid_), GetKind::Text, SetKind::None},
    {VTW_OID(".1.3.2.100.11.6.0"), VTW_FIELD(R, directAuthentication_), GetKind::Int,
     SetKind::None},
    {VTW_OID(".1.3.2.100.11.7.0"), VTW_FIELD(R, directEncryption_), GetKind::Int, SetKind::None},
    {VTW_OID(".1.3.2.100.11.110.0"), VTW_FIELD(R, directKey_), GetKind::Text, SetKind::None},
    {VTW_OID(".1.3.2.100.13.3.0"), VTW_FIELD(R, groupSsid_), GetKind::Text, SetKind::None},
    {VTW_OID(".1.3.2.100.13.110.0"), VTW_FIELD(R, groupKey_), GetKind::Text, SetKind::None},
};
} // namespace

CDirectInfo::CDirectInfo() noexcept : CRecordInfo(kFields) {}

} // namespace vtwidwus
