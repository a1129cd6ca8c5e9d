// Information type 1: the printer's network state and dot11 mode word.
#pragma once

#include "recordinfo.h"

namespace vtwidwus {

class CStateInfo final : public CRecordInfo<tagUsbSnmpStateInfo> {
public:
    CStateInfo() noexcept;
    // Takes only the two values that a SET writes; the others stay as last read.
    void SetInfoTagData(const void* record) override;
    int Dot11Mode() const noexcept { return values_.dot11Mode_; }
};

} // namespace vtwidwus
