#include "userinfostringinfo.h"

namespace vtwidwus {

namespace {
using R = tagUsbSnmpUserInfoStringInfo;
const OidField kFields[] = {
    {VTW_OID(".1.2.2.4.0"), VTW_FIELD(R, userInfoString1_), GetKind::Text, SetKind::Text},
    {VTW_OID(".1.2.2.5.0"), VTW_FIELD(R, userInfoString2_), GetKind::Text, SetKind::Text},
};
} // namespace

CUserInfoStringInfo::CUserInfoStringInfo() noexcept : CRecordInfo(kFields) {}

} // namespace vtwidwus
