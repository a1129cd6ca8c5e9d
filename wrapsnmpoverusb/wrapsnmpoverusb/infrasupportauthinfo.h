// Information type 6: supported authentication; read only.
#pragma once

#include "recordinfo.h"

namespace vtwidwus {

class CInfraSupportAuthInfo final : public CRecordInfo<tagUsbSnmpInfraSupportAuthInfo> {
public:
    CInfraSupportAuthInfo() noexcept;
    // Not settable: no SET varbinds, no record taken, no before-values.
    bool SetOidOfSetRequest(VTWIDUS_PACKET request) override;
    bool GetOidOfSetRequest(VTWIDUS_PACKET response) override;
    void SetInfoTagData(const void* record) override;
    bool SetOrgInstance(const AOidInfo* org) override;
};

} // namespace vtwidwus
