#include "infrasupportauthinfo.h"

namespace vtwidwus {

namespace {
using R = tagUsbSnmpInfraSupportAuthInfo;
const OidField kFields[] = {
    {VTW_OID(".1.3.2.100.10.11.0"), VTW_FIELD(R, supportAuthentication_), GetKind::Int,
     SetKind::None},
};
} // namespace

CInfraSupportAuthInfo::CInfraSupportAuthInfo() noexcept : CRecordInfo(kFields) {}

bool CInfraSupportAuthInfo::SetOidOfSetRequest(VTWIDUS_PACKET request) {
    return AOidInfo::SetOidOfSetRequest(request);
}
bool CInfraSupportAuthInfo::GetOidOfSetRequest(VTWIDUS_PACKET response) {
    return AOidInfo::GetOidOfSetRequest(response);
}
void CInfraSupportAuthInfo::SetInfoTagData(const void* record) {
    AOidInfo::SetInfoTagData(record);
}
bool CInfraSupportAuthInfo::SetOrgInstance(const AOidInfo* org) {
    return AOidInfo::SetOrgInstance(org);
}

} // namespace vtwidwus
