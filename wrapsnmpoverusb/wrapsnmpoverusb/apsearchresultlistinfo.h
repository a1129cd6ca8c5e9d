// The printer's access-point result rows, read and copied out through a window of rows.
#pragma once

#include "apsearchresultinfo.h"

#include <cstddef>
#include <vector>

namespace vtwidwus {

class CApSearchResultListInfo final : public AOidInfo {
public:
    bool SetOidOfGetRequest(VTWIDUS_PACKET request) override;
    bool GetOidOfGetRequest(VTWIDUS_PACKET response) override;
    // record: an array of tagUsbSnmpApSearchResultInfo; window row i goes to element i.
    void GetInfoTagData(void* record) const override;

    // Replaces the rows by count rows with indexes 1 to count.
    void ResetRows(std::size_t count);
    // The inclusive window of 0-based row positions.
    void SetWindow(std::size_t first, std::size_t last) noexcept {
        first_ = first;
        last_ = last;
    }
    const std::vector<CApSearchResultInfo>& Rows() const noexcept { return rows_; }

private:
    bool WindowValid() const noexcept { return first_ <= last_ && last_ < rows_.size(); }

    std::vector<CApSearchResultInfo> rows_;
    std::size_t first_ = 0;
    std::size_t last_ = 0;
};

} // namespace vtwidwus
