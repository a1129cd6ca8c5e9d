// Information type 3: the wireless infrastructure interface.
#pragma once

#include "recordinfo.h"

namespace vtwidwus {

class CInfraInfo final : public CRecordInfo<tagUsbSnmpInfraInfo> {
public:
    CInfraInfo() noexcept;
    // Authentication values 6 and 7 are taken as 10, 8 and 9 as 11.
    void SetInfoTagData(const void* record) override;
    int Dot11Mode() const noexcept { return values_.dot11Mode_; }
};

} // namespace vtwidwus
