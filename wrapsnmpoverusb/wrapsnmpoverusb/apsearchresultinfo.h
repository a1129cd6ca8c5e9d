// One row of the printer's access-point result table (rows counted from 1).
#pragma once

#include "aoidinfo.h"

namespace vtwidwus {

class CApSearchResultInfo final : public AOidInfo {
public:
    CApSearchResultInfo() noexcept;
    explicit CApSearchResultInfo(int index) noexcept;

    bool SetOidOfGetRequest(VTWIDUS_PACKET request) override;
    bool GetOidOfGetRequest(VTWIDUS_PACKET response) override;
    // record: one tagUsbSnmpApSearchResultInfo.
    void GetInfoTagData(void* record) const override;

    int Index() const noexcept { return index_; }
    const tagUsbSnmpApSearchResultInfo& Row() const noexcept { return row_; }

private:
    int index_ = 0;
    tagUsbSnmpApSearchResultInfo row_{};
};

} // namespace vtwidwus
