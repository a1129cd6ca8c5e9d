#include "stateinfo.h"

namespace vtwidwus {

namespace {
using R = tagUsbSnmpStateInfo;
const OidField kFields[] = {
    {VTW_OID(".1.3.1.10.0"), VTW_FIELD(R, networkState_), GetKind::Int, SetKind::None},
    {VTW_OID(".1.3.1.11.0"), VTW_FIELD(R, networkSelect_), GetKind::Int, SetKind::OctetsByInt},
    {VTW_OID(".1.3.2.100.1.0"), VTW_FIELD(R, dot11State_), GetKind::Int, SetKind::None},
    {VTW_OID(".1.3.2.100.2.0"), VTW_FIELD(R, dot11Mode_), GetKind::Int, SetKind::OctetsByInt},
};
} // namespace

CStateInfo::CStateInfo() noexcept : CRecordInfo(kFields) {}

void CStateInfo::SetInfoTagData(const void* record) {
    if (record != nullptr) {
        recordcodec::Take(fields_, Bytes(values_), static_cast<const unsigned char*>(record), true);
    }
}

} // namespace vtwidwus
