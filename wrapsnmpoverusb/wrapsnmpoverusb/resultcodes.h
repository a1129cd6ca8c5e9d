// Packet-library results as the results of the exports.
#pragma once

#include <iwrapsnmpoverusb/iwrapsnmpoverusb.h>
#include <vtwidus/vtwidus_api.h>

namespace vtwidwus {

// Maps a packet-library result (0 or a VTWIDUS_ERROR_CODE_) to a VTWIDWUS_ERROR_CODE_; every
// non-zero one is traced.
int UsErr2WusErr(int usResult) noexcept;

// The packet-library results of one retry class.
constexpr bool IsConnectionError(int r) noexcept {
    return r == VTWIDUS_ERROR_CODE_CONNECTION || r == VTWIDUS_ERROR_CODE_TOO_MATCH_SESSIONS ||
           r == VTWIDUS_ERROR_CODE_DISCONNECTED;
}
constexpr bool IsTimeoutError(int r) noexcept {
    return r == VTWIDUS_ERROR_CODE_SEND_TIMEOUT || r == VTWIDUS_ERROR_CODE_RECEIVE_TIMEOUT;
}

} // namespace vtwidwus
