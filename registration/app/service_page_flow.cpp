// WM_APP+7 and WM_APP+8: the service information page ("-ADS") and the login page ("-LOGIN")
// of the gateway, opened in the user's browser.
#include "app/TansuApp.h"
#include "app/app_messages.h"
#include "kivutil/kiv_url_params.h"
#include "printerutil/page_address.h"
#include "printerutil/server_param.h"

namespace qelapp {

LRESULT TansuApp::OnServicePage(HWND window, UINT message) {
    try {
        facts_.SetUserAction(qelinfo::kUserActionNone);
        facts_.SetSendInfoCode(qelinfo::kSendInfoNone);
        const unsigned int function =
            message == kMsgLoginPage ? kivutil::kFunctionLogin : kivutil::kFunctionInfo;
        system_.OpenPage(printerutil::ServicePageAddress(
            facts_, printerutil::CurrentServiceAddresses().gateway, function));
    } catch (...) {
        ShowFlowFailure(window);
    }
    system_.PostNext(window, WM_CLOSE, 0);
    return 0;
}

} // namespace qelapp
