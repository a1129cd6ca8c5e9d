#include "resultcodes.h"

#include "trace.h"

namespace vtwidwus {

namespace {
int Map(int r) noexcept {
    switch (r) {
    case 0:
        return VTWIDWUS_ERROR_CODE_SUCCESS;
    case -1:
        return VTWIDWUS_ERROR_CODE_PARAM;
    case -4:
        return VTWIDWUS_ERROR_CODE_NOT_LOADED;
    case -6:
        return VTWIDWUS_ERROR_CODE_DEVICE;
    case -7:
    case -8:
        return VTWIDWUS_ERROR_CODE_COMM_TIMEOUT;
    case -9:
        return VTWIDWUS_ERROR_CODE_ERROR_STATUS;
    case -11:
    case -12:
    case -13:
        return VTWIDWUS_ERROR_CODE_CONNECTION;
    case -14:
        return VTWIDWUS_ERROR_CODE_NOCONTENT;
    default: // -2, -3, -5, -10, positive values and values below -14
        return VTWIDWUS_ERROR_CODE_FAILED;
    }
}
} // namespace

int UsErr2WusErr(int usResult) noexcept {
    const int out = Map(usResult);
    if (usResult != 0) {
        VTW_TRACE(3, "UsErr2WusErr:in:%d out:%d", usResult, out);
    }
    return out;
}

} // namespace vtwidwus
