// The registrations of the installer and launcher flows: the printer the flow looked up is
// registered without the invitation screen, and the page the gateway returns is opened or kept.
#include <memory>

#include "app/TansuApp.h"
#include "printerutil/register_sequence.h"
#include "printerutil/server_param.h"
#include "qelcmn/exceptions.h"
#include "screens/run_with_progress.h"
#include "ui/message_box.h"
#include "ui/text_ids.h"
#include "winutil/open_page.h"
#include "winutil/registry_values.h"

namespace qelapp {

namespace {

std::shared_ptr<printerutil::stRegsterParam>
FlowPrinterRecord(const printerutil::stDeviceData& printer, const std::wstring& address) {
    auto record = std::make_shared<printerutil::stRegsterParam>();
    record->modelName = printer.modelName;
    record->serialNumber = printer.serialNumber;
    record->macAddress = printer.macAddress;
    record->region = printer.regionCode;
    record->agreement = printer.agreement;
    record->connectionKind = printer.connectionKind;
    record->address = address;
    return record;
}

const printerutil::stDeviceData* FirstPrinter(const printerutil::DeviceList& printers) {
    return printers.empty() ? nullptr : printers.front().get();
}

} // namespace

int LauncherFailureText(const std::exception_ptr& failure) noexcept {
    try {
        std::rethrow_exception(failure);
    } catch (const qelcmn::qel_cancel& cancel) {
        return cancel.ucode() == qelcmn::kCodeRetry ? qelui::text::kRegistrationRetry : 0;
    } catch (...) {
        return qelui::text::kRegistrationFailed;
    }
}

std::wstring TansuApp::RegisterFlowPrinter(HWND window, const printerutil::stDeviceData& printer,
                                           bool installer) {
    const auto server =
        printerutil::BuildServerParam(printer.regionCode, facts_.GetResidence(), facts_.GetArea());
    const auto record = FlowPrinterRecord(printer, options_->GetSecondString());
    if (installer) {
        const std::wstring& fourth = options_->GetFourthString();
        const bool agreed = FindSendInfoAgree(fourth.empty() ? printer.serialNumber : fourth);
        record->agreementRequest = agreed ? 1 : 0;
        facts_.SetLaunchMode(qelinfo::kLaunchInstaller);
        facts_.SetSendInfoCode(agreed ? 1 : 0);
    }
    const auto start = [&](printerutil::CancelFlag* cancel) {
        return printerutil::StartRegisterSequence(&facts_, cancel, server, record);
    };
    if (installer && options_->GetSubOption() == CommandLineOptions::kReg2) {
        // No window at all on this start: wait for the registration itself.
        printerutil::CancelFlag cancel{0};
        return start(&cancel).get().url;
    }
    return qelscreens::RunWithProgress(qelscreens::ProgressDialog::kStatus, window, &texts_,
                                       ProgressCaption(installer), start)
        .url;
}

void TansuApp::RegisterPreplyDevice(HWND window, const printerutil::DeviceList& printers) {
    const printerutil::stDeviceData* printer = FirstPrinter(printers);
    if (options_->GetSecondString().empty() || printer == nullptr) {
        return;
    }
    try {
        const std::wstring page = RegisterFlowPrinter(window, *printer, true);
        if (options_->GetSubOption() == CommandLineOptions::kReg2) {
            // For a later "-OB" start; a page that would not open is kept as none.
            qelwinutil::SaveRegUrl(qelwinutil::IsWebPageAddress(page) ? page : L"");
        } else {
            system_.OpenPage(page);
        }
    } catch (...) {
        // The installer's registration is silent whatever it ends with: nothing opens, nothing
        // is kept.
    }
}

void TansuApp::RegisterHDDevice(HWND window, const printerutil::DeviceList& printers) {
    const printerutil::stDeviceData* printer = FirstPrinter(printers);
    if (options_->GetSecondString().empty() || printer == nullptr) {
        return;
    }
    try {
        system_.OpenPage(RegisterFlowPrinter(window, *printer, false));
    } catch (...) {
        const int text = LauncherFailureText(std::current_exception());
        if (text != 0) {
            qelui::ShowTextMessageBox(system_, window, texts_, text, MB_ICONERROR);
        }
    }
}

} // namespace qelapp
