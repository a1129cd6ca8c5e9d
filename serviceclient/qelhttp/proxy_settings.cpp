#include <windows.h>
#include <winhttp.h>

#include "qelhttp/http_engine_options.h"
#include "win/unique_any.h"

namespace qelhttp {

UserProxySettings ReadUserProxySettings() {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (!::WinHttpGetIEProxyConfigForCurrentUser(&config)) {
        return {};
    }
    // WinHTTP hands the strings over to the caller, who frees them with GlobalFree.
    const qelwin::unique_hglobal autoConfigUrl(config.lpszAutoConfigUrl);
    const qelwin::unique_hglobal proxy(config.lpszProxy);
    const qelwin::unique_hglobal bypass(config.lpszProxyBypass);

    UserProxySettings settings;
    if (config.lpszProxy != nullptr) {
        settings.proxy = config.lpszProxy;
    }
    if (config.lpszProxyBypass != nullptr) {
        settings.bypass = config.lpszProxyBypass;
    }
    return settings;
}

} // namespace qelhttp
