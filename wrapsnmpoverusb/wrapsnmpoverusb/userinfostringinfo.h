// Information type 5: the two user texts.
#pragma once

#include "recordinfo.h"

namespace vtwidwus {

class CUserInfoStringInfo final : public CRecordInfo<tagUsbSnmpUserInfoStringInfo> {
public:
    CUserInfoStringInfo() noexcept;
};

} // namespace vtwidwus
