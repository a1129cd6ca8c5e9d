// One value of the printer's support table of searches with parameters: row m (an index into
// the table, usually a dot11 mode), column f (the parameter flag set).
#pragma once

#include "aoidinfo.h"

namespace vtwidwus {

class CSupportApSearchWithParamsInfo final : public AOidInfo {
public:
    CSupportApSearchWithParamsInfo() = default;
    CSupportApSearchWithParamsInfo(int index, int flags) noexcept : index_(index), flags_(flags) {}

    bool SetOidOfGetRequest(VTWIDUS_PACKET request) override;
    bool GetOidOfGetRequest(VTWIDUS_PACKET response) override;

    void Select(int index, int flags) noexcept {
        index_ = index;
        flags_ = flags;
        value_ = 0;
    }
    // 0 unsupported, -3 no such row.
    int Value() const noexcept { return value_; }

private:
    bool BuildOid(std::string& oid, const char* traceText) const;

    int index_ = 0;
    int flags_ = 0;
    int value_ = 0;
};

} // namespace vtwidwus
