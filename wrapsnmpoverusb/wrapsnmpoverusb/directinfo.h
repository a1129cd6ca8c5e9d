// Information type 4: direct (access-point) mode.
#pragma once

#include "recordinfo.h"

namespace vtwidwus {

class CDirectInfo final : public CRecordInfo<tagUsbSnmpDirectInfo> {
public:
    CDirectInfo() noexcept;
    int Dot11Mode() const noexcept { return values_.dot11Mode_; }
};

} // namespace vtwidwus
