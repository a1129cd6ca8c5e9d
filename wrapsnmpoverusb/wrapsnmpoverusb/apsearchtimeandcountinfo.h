// The printer's access-point search time value and result count.
#pragma once

#include "aoidinfo.h"

namespace vtwidwus {

class CApSearchTimeAndCountInfo final : public AOidInfo {
public:
    bool SetOidOfGetRequest(VTWIDUS_PACKET request) override;
    bool GetOidOfGetRequest(VTWIDUS_PACKET response) override;

    // -3 when the printer has no such object, -2 when it cannot be decoded.
    int GetTime() const noexcept { return time_; }
    int GetCount() const noexcept { return count_; }

private:
    int time_ = -1;
    int count_ = -1;
};

} // namespace vtwidwus
