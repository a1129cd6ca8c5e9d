#include "supportapsearchwithparamsinfo.h"

namespace vtwidwus {

bool CSupportApSearchWithParamsInfo::BuildOid(std::string& oid, const char* traceText) const {
    oid = VTW_OID(".1.3.2.100.100.8.1.2");
    return AppendIndex(oid, index_, traceText) && AppendIndex(oid, flags_, traceText);
}

bool CSupportApSearchWithParamsInfo::SetOidOfGetRequest(VTWIDUS_PACKET request) {
    std::string oid;
    if (!BuildOid(oid, "SetOidOfGetRequest:_itoa_s()")) {
        return false;
    }
    if (!AddGetRequestOid(request, oid.c_str())) {
        VTW_TRACE(3, "SetOidOfGetRequest:AddGetRequestOid()");
        return false;
    }
    return true;
}

bool CSupportApSearchWithParamsInfo::GetOidOfGetRequest(VTWIDUS_PACKET response) {
    std::string oid;
    if (!BuildOid(oid, "GetOidOfGetRequest:_itoa_s()")) {
        return false;
    }
    const int taken = WalkResponse(response, [&](const VTWIDUS_VARBIND& v) {
        if (!OidEquals(v, oid)) {
            return false;
        }
        value_ = GetValueToInt(v);
        return true;
    });
    return AnyTaken(taken);
}

} // namespace vtwidwus
