#include "apsearchresultlistinfo.h"

namespace vtwidwus {

bool CApSearchResultListInfo::SetOidOfGetRequest(VTWIDUS_PACKET request) {
    if (!WindowValid()) {
        VTW_TRACE(3, "SetOidOfGetRequest:param");
        return false;
    }
    for (std::size_t i = first_; i <= last_; ++i) {
        if (!rows_[i].SetOidOfGetRequest(request)) {
            VTW_TRACE(3, "SetOidOfGetRequest:SetOidOfGetRequest()");
            return false;
        }
    }
    return true;
}

bool CApSearchResultListInfo::GetOidOfGetRequest(VTWIDUS_PACKET response) {
    if (!WindowValid()) {
        VTW_TRACE(3, "GetOidOfGetRequest:param");
        return false;
    }
    for (std::size_t i = first_; i <= last_; ++i) {
        if (!rows_[i].GetOidOfGetRequest(response)) {
            VTW_TRACE(3, "GetOidOfGetRequest:GetOidOfGetRequest()");
            return false;
        }
    }
    return true;
}

void CApSearchResultListInfo::GetInfoTagData(void* record) const {
    if (record == nullptr || !WindowValid()) {
        VTW_TRACE(3, "GetInfoTagData:param");
        return;
    }
    auto* out = static_cast<tagUsbSnmpApSearchResultInfo*>(record);
    for (std::size_t i = first_; i <= last_; ++i) {
        rows_[i].GetInfoTagData(&out[i - first_]);
    }
}

void CApSearchResultListInfo::ResetRows(std::size_t count) {
    std::vector<CApSearchResultInfo> rows;
    rows.reserve(count);
    for (std::size_t i = 1; i <= count; ++i) {
        rows.emplace_back(static_cast<int>(i));
    }
    rows_ = std::move(rows);
    first_ = 0;
    last_ = 0;
}

} // namespace vtwidwus
