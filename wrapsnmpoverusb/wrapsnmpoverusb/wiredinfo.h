// Information type 2: the wired interface.
#pragma once

#include "recordinfo.h"

namespace vtwidwus {

class CWiredInfo final : public CRecordInfo<tagUsbSnmpWiredInfo> {
public:
    CWiredInfo() noexcept;
};

} // namespace vtwidwus
