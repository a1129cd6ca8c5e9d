// Response walking of AOidInfo (template part).
#pragma once

#include "trace.h"
#include "wrapvtwidus.h"

namespace vtwidwus {

template <typename Take> int AOidInfo::WalkResponse(VTWIDUS_PACKET response, Take&& take) {
    const VtwidusEntries& us = Vtwidus();
    const int count = us.pfnVTWIDUS_GetOidCount_(response);
    int taken = 0;
    for (int i = 0; i < count; ++i) {
        const VTWIDUS_VARBIND* varbind = nullptr;
        const int r = us.pfnVTWIDUS_GetOid_(response, i, &varbind);
        if (r != 0) {
            VTW_TRACE(2, "GetOidOfGetRequest:pfnVTWIDUS_GetOid_():%d", r);
            continue;
        }
        if (varbind == nullptr || varbind->oid_ == nullptr) {
            continue;
        }
        if (take(*varbind)) {
            ++taken;
        }
    }
    return taken;
}

} // namespace vtwidwus
