// The installer flow's invitation screen (dialog 129), opened with no owner: the screen itself
// registers the printer, or tells the gateway that the user skipped.
#include "app/TansuApp.h"
#include "invitation/registration_dialog.h"

namespace qelapp {

void TansuApp::ShowInvitation(const printerutil::DeviceList& printers) {
    qelinvitation::RegistrationDialog screen(system_);
    screen.SetTextLibrary(&texts_);
    screen.SetApplicationInfo(&facts_);
    screen.SetPrinterAddress(options_->GetSecondString());
    screen.SetInstallerDeviceKey(options_->GetFourthString());
    if (!printers.empty() && printers.front()) {
        screen.SetDeviceData(printers.front());
    }
    screen.DoModal(nullptr);
}

} // namespace qelapp
