#include "apsearchresultinfo.h"

#include <array>
#include <cstring>

namespace vtwidwus {

namespace {
constexpr char kColumnBase[] = VTW_OID(".1.3.2.100.100.10.1.1.");
constexpr int kFirstColumn = 2; // network name
constexpr int kLastColumn = 8;  // signal level

void StoreText(char* field, std::size_t size, const std::string& text) noexcept {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}
} // namespace

CApSearchResultInfo::CApSearchResultInfo() noexcept : CApSearchResultInfo(0) {}

CApSearchResultInfo::CApSearchResultInfo(int index) noexcept : index_(index) {
    row_.dot11APSearchResultPhyType_ = -1;
    row_.dot11APSearchResultChannel_ = -1;
    row_.dot11APSearchResultAuthentication_ = -1;
    row_.dot11APSearchResultEncryption_ = -1;
    row_.dot11APSearchResultSignalLevel_ = -1;
}

bool CApSearchResultInfo::SetOidOfGetRequest(VTWIDUS_PACKET request) {
    for (int column = kFirstColumn; column <= kLastColumn; ++column) {
        std::string oid = kColumnBase;
        oid += static_cast<char>('0' + column);
        if (!AppendIndex(oid, index_, "SetOidOfGetRequest:_itoa_s()")) {
            return false;
        }
        if (!AddGetRequestOid(request, oid.c_str())) {
            VTW_TRACE(3, "SetOidOfGetRequest:AddGetRequestOid()");
            return false;
        }
    }
    return true;
}

bool CApSearchResultInfo::GetOidOfGetRequest(VTWIDUS_PACKET response) {
    std::array<std::string, kLastColumn + 1> oids;
    for (int column = kFirstColumn; column <= kLastColumn; ++column) {
        oids[column] = kColumnBase;
        oids[column] += static_cast<char>('0' + column);
        if (!AppendIndex(oids[column], index_, "GetOidOfGetRequest:_itoa_s()")) {
            return false;
        }
    }
    const int taken = WalkResponse(response, [&](const VTWIDUS_VARBIND& v) {
        for (int column = kFirstColumn; column <= kLastColumn; ++column) {
            if (!OidEquals(v, oids[column])) {
                continue;
            }
            switch (column) {
            case 2:
                StoreText(row_.dot11APSearchResultSsid_, sizeof row_.dot11APSearchResultSsid_,
                          GetValueToString(v));
                break;
            case 3:
                StoreText(row_.dot11APSearchResultBssid_, sizeof row_.dot11APSearchResultBssid_,
                          GetValueToToHexString(v));
                break;
            case 4:
                row_.dot11APSearchResultPhyType_ = GetValueToInt(v);
                break;
            case 5:
                row_.dot11APSearchResultChannel_ = GetValueToInt(v);
                break;
            case 6:
                row_.dot11APSearchResultAuthentication_ = GetValueToInt(v);
                break;
            case 7:
                row_.dot11APSearchResultEncryption_ = GetValueToInt(v);
                break;
            default:
                row_.dot11APSearchResultSignalLevel_ = GetValueToInt(v);
                break;
            }
            return true;
        }
        return false;
    });
    return AnyTaken(taken);
}

void CApSearchResultInfo::GetInfoTagData(void* record) const {
    if (record != nullptr) {
        std::memcpy(record, &row_, sizeof row_);
    }
}

} // namespace vtwidwus
