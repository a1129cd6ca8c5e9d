#include "apsearchexecutewithparamsinfo.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>

namespace vtwidwus {

namespace {
constexpr char kWithParamsOid[] = VTW_OID(".1.3.2.100.100.9.0");
constexpr std::size_t kPieceBytes = 1024;

// One formatted piece; a piece that does not fit its buffer is cut there.
void AppendPiece(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void AppendPiece(std::string& text, const char* format, ...) {
    std::array<char, kPieceBytes> piece{};
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(piece.data(), piece.size(), format, args);
    va_end(args);
    if (n > 0) {
        text.append(piece.data(),
                    std::min<std::size_t>(static_cast<std::size_t>(n), piece.size() - 1));
    }
}
} // namespace

bool CApSearchExecuteWithParamsInfo::SetOidOfGetRequest(VTWIDUS_PACKET request) {
    if (!AddGetRequestOid(request, kWithParamsOid)) {
        VTW_TRACE(3, "SetOidOfGetRequest:AddGetRequestOid()");
        return false;
    }
    return true;
}

bool CApSearchExecuteWithParamsInfo::GetOidOfGetRequest(VTWIDUS_PACKET response) {
    const int taken = WalkResponse(response, [&](const VTWIDUS_VARBIND& v) {
        if (!OidEquals(v, kWithParamsOid)) {
            return false;
        }
        version_ = GetValueToString(v);
        return true;
    });
    return AnyTaken(taken);
}

std::string CApSearchExecuteWithParamsInfo::ParameterText() const {
    std::string text;
    if (channel24_ != -1) {
        AppendPiece(text, "<bgch-8:%08X>", static_cast<unsigned>(channel24_));
    }
    if (channel5_ != -1) {
        AppendPiece(text, "<ach-8:%08X>", static_cast<unsigned>(channel5_));
    }
    if (!ssid_.empty()) {
        AppendPiece(text, "<ssid-%d:%s>", static_cast<int>(ssid_.size()), ssid_.c_str());
    }
    if (!bssid_.empty()) {
        AppendPiece(text, "<bssid-%d:%s>", static_cast<int>(bssid_.size()), bssid_.c_str());
    }
    return text;
}

bool CApSearchExecuteWithParamsInfo::SetOidOfSetRequest(VTWIDUS_PACKET request) {
    if (!AddSetRequestOidStringValue(request, kWithParamsOid, ParameterText())) {
        VTW_TRACE(3, "SetOidOfSetRequest:AddSetRequestOidStringValue() ssid:%s", ssid_.c_str());
        return false;
    }
    return true;
}

bool CApSearchExecuteWithParamsInfo::GetOidOfSetRequest(VTWIDUS_PACKET response) {
    return SetAnswered(response, kWithParamsOid);
}

} // namespace vtwidwus
