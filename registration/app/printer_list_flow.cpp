// WM_APP+3: the printer list of a "-Setup" start. The run ends when the list closes, whether the
// user closed it or a registration went through.
#include "app/TansuApp.h"
#include "printerlist/printer_list_dialog.h"

namespace qelapp {

LRESULT TansuApp::OnPrinterList(HWND window) {
    if (!printerList_) {
        printerList_ = qelprinterlist::PrinterListVM::Create(&facts_, &texts_, system_,
                                                             {smallIcon_, largeIcon_});
    }
    if (printerList_) {
        qelprinterlist::PrinterListDialog list(printerList_.get(), &texts_);
        list.DoModal(nullptr);
    }
    system_.PostNext(window, WM_CLOSE, 0);
    return 0;
}

} // namespace qelapp
