#include "apsearchexecuteinfo.h"

namespace vtwidwus {

namespace {
constexpr char kExecuteOid[] = VTW_OID(".1.3.2.100.100.2.0");
constexpr int kStartSearch = 3;
} // namespace

bool CApSearchExecuteInfo::SetOidOfSetRequest(VTWIDUS_PACKET request) {
    if (!AddSetRequestOidIntValue(request, kExecuteOid, kStartSearch)) {
        VTW_TRACE(3, "SetOidOfSetRequest:AddSetRequestOidIntValue()");
        return false;
    }
    return true;
}

bool CApSearchExecuteInfo::GetOidOfSetRequest(VTWIDUS_PACKET response) {
    return SetAnswered(response, kExecuteOid);
}

} // namespace vtwidwus
