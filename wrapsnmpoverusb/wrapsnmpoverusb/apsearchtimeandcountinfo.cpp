#include "apsearchtimeandcountinfo.h"

namespace vtwidwus {

namespace {
constexpr char kTimeOid[] = VTW_OID(".1.3.2.100.100.3.0");
constexpr char kCountOid[] = VTW_OID(".1.3.2.100.100.5.0");
} // namespace

bool CApSearchTimeAndCountInfo::SetOidOfGetRequest(VTWIDUS_PACKET request) {
    for (const char* oid : {kTimeOid, kCountOid}) {
        if (!AddGetRequestOid(request, oid)) {
            VTW_TRACE(3, "SetOidOfGetRequest:AddGetRequestOid()");
            return false;
        }
    }
    return true;
}

bool CApSearchTimeAndCountInfo::GetOidOfGetRequest(VTWIDUS_PACKET response) {
    const int taken = WalkResponse(response, [&](const VTWIDUS_VARBIND& v) {
        if (OidEquals(v, kTimeOid)) {
            time_ = GetValueToUnsignedInt(v);
            return true;
        }
        if (OidEquals(v, kCountOid)) {
            count_ = GetValueToInt(v);
            return true;
        }
        return false;
    });
    return AnyTaken(taken);
}

} // namespace vtwidwus
