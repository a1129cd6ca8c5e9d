// What the installer's and launcher's flows share before they register: the printer at the
// command line's address and the invitation content for it.
#include "app/TansuApp.h"
#include "printerutil/device_starters.h"
#include "screens/run_with_progress.h"
#include "ui/text_ids.h"

namespace qelapp {

printerutil::DeviceList TansuApp::LookUpPrinter(HWND window, bool withDialog) {
    const std::wstring address = options_->GetSecondString();
    const auto start = [&address](qelscreens::CancelFlag*) {
        return printerutil::StartFindPrinterByAddress(address);
    };
    if (!withDialog) {
        return start(nullptr).get();
    }
    const bool installer = options_->GetMode() == CommandLineOptions::kInstaller;
    return qelscreens::RunWithProgress(qelscreens::ProgressDialog::kSearch, window, &texts_,
                                       ProgressCaption(installer), start);
}

bool TansuApp::PrepareInviteContentFor(const printerutil::DeviceList& printers) {
    if (printers.empty() || !printers.front()) {
        return PrepareInviteContent(true, true, L"", L"", 0);
    }
    const printerutil::stDeviceData& printer = *printers.front();
    return PrepareInviteContent(printer.qelSupport != 0, printer.agreement != 0, printer.regionCode,
                                printer.serialNumber, printer.serviceKind);
}

std::wstring TansuApp::ProgressCaption(bool installer) const {
    return installer ? std::wstring() : texts_.LoadText(qelui::text::kAboutTitle);
}

} // namespace qelapp
