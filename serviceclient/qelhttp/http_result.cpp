#include "qelhttp/http_result.h"

#include <string>

#include "qelcmn/exceptions.h"

namespace qelhttp {

void CheckHttpResult(int sendResult, int httpStatus) {
    if (sendResult != 0) {
        throw http_exception(kCodeSendFailed, L"Http : Send request failed.");
    }
    if (httpStatus == 0) {
        throw http_exception(kCodeConnectionError, L"Http : Server Connection Error.");
    }
    if (httpStatus >= 400) {
        throw http_exception(kCodeServerError,
                             L"Http : Server Error. code=" + std::to_wstring(httpStatus));
    }
}

} // namespace qelhttp
