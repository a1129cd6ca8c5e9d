#include "serialinfo.h"

namespace vtwidwus {

namespace {
constexpr char kSerialOid[] = VTW_OID(".1.2.1.8.1.3.1.1");
}

bool CSerialInfo::SetOidOfGetRequest(VTWIDUS_PACKET request) {
    return AddGetRequestOid(request, kSerialOid);
}

bool CSerialInfo::GetOidOfGetRequest(VTWIDUS_PACKET response) {
    bool found = false;
    WalkResponse(response, [&](const VTWIDUS_VARBIND& v) {
        if (found || !OidEquals(v, kSerialOid)) {
            return false;
        }
        serial_ = GetValueToString(v);
        found = true;
        return true;
    });
    return found;
}

} // namespace vtwidwus
