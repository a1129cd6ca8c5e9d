#include "apsearchexecutewithssidinfo.h"

namespace vtwidwus {

namespace {
constexpr char kExecuteWithSsidOid[] = VTW_OID(".1.3.2.100.100.7.0");
}

bool CApSearchExecuteWithSsidInfo::SetOidOfSetRequest(VTWIDUS_PACKET request) {
    if (!AddSetRequestOidStringValue(request, kExecuteWithSsidOid, ssid_)) {
        VTW_TRACE(3, "SetOidOfSetRequest:AddSetRequestOidStringValue()");
        return false;
    }
    return true;
}

bool CApSearchExecuteWithSsidInfo::GetOidOfSetRequest(VTWIDUS_PACKET response) {
    return SetAnswered(response, kExecuteWithSsidOid);
}

} // namespace vtwidwus
