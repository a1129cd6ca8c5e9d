#include "printerlist/printer_list_vm.h"

#include <new>

#include "kivutil/kiv_url_params.h"
#include "printerlist/list_controls.h"
#include "printerlist/registration_input.h"
#include "printerutil/page_address.h"
#include "printerutil/register_sequence.h"
#include "printerutil/server_param.h"
#include "resource.h"
#include "screens/agreement_dialog.h"
#include "screens/run_with_progress.h"
#include "ui/message_box.h"
#include "ui/text_ids.h"
#include "wifi/recovery_state.h"
#include "wifi/screen_recovery.h"
#include "winutil/open_page.h"

namespace qelprinterlist {

namespace {

// The user action code of a registration that follows no recovery.
constexpr int kUserActionRegister = 1;

} // namespace

std::unique_ptr<PrinterListVM> PrinterListVM::Create(qelinfo::ApplicationInfo* facts,
                                                     const qelui::TextLibrary* texts,
                                                     qelui::ISystem& system,
                                                     WindowIcons icons) noexcept {
    std::unique_ptr<PrinterListVM> model(new (std::nothrow)
                                             PrinterListVM(facts, texts, system, icons));
    if (model && !model->Initialize()) {
        model.reset();
    }
    return model;
}

PrinterListVM::~PrinterListVM() {
    RestoreIcons();
}

void PrinterListVM::Attach(HWND dialog) {
    dialog_ = dialog;
    if (dialog_ == nullptr) {
        return;
    }
    previousSmallIcon_ = reinterpret_cast<HICON>(
        ::SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons_.small)));
    previousBigIcon_ = reinterpret_cast<HICON>(
        ::SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons_.large)));
}

void PrinterListVM::Detach() {
    RestoreIcons();
    if (dialog_ != nullptr) {
        ::GetWindowRect(dialog_, &savedRect_);
    }
    dialog_ = nullptr;
}

void PrinterListVM::RestoreIcons() noexcept {
    if (dialog_ != nullptr && ::IsWindow(dialog_)) {
        ::SendMessageW(dialog_, WM_SETICON, ICON_SMALL,
                       reinterpret_cast<LPARAM>(previousSmallIcon_));
        ::SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(previousBigIcon_));
    }
    previousSmallIcon_ = nullptr;
    previousBigIcon_ = nullptr;
}

RECT* PrinterListVM::GetSavedRect(RECT* out) {
    if (out != nullptr) {
        *out = savedRect_;
    }
    return out;
}

HWND PrinterListVM::List() const noexcept {
    return ::GetDlgItem(dialog_, IDC_PRINTER_LIST);
}

const qelui::TextLibrary& PrinterListVM::Texts() const noexcept {
    static const qelui::TextLibrary kNoTexts;
    return texts_ != nullptr ? *texts_ : kNoTexts;
}

int PrinterListVM::ShowBox(int textId, UINT style) const {
    return qelui::ShowTextMessageBox(system_, dialog_, Texts(), textId, style);
}

int PrinterListVM::OnNotify(int controlId) {
    if (controlId == IDC_PRINTER_LIST) {
        try {
            SearchPrinters();
        } catch (...) {
            // The list shows what it could; the user can search again.
        }
    }
    return 0;
}

int PrinterListVM::OnCommand(int controlId, int origin, int, int) {
    if (origin != kCommandFromDialog) {
        return 0;
    }
    switch (controlId) {
    case IDC_LIST_REGISTER:
        try {
            return Register();
        } catch (...) {
            // Whatever went wrong, the user learns that the registration failed, and the next
            // one starts without a recovery pending.
            facts_->SetUsbRetried(0);
            try {
                ShowBox(qelui::text::kRegistrationFailed, MB_ICONERROR);
            } catch (...) {
            }
            return 0;
        }
    case IDC_LIST_ABOUT_SERVICE:
        try {
            OpenServiceInfo(SelectedRow(List()));
        } catch (...) {
            // No page; the screen stays as it was.
        }
        return 1;
    default:
        return 0;
    }
}

void PrinterListVM::SearchPrinters() {
    HWND list = List();
    ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    try {
        printers_ =
            qelscreens::RunWithProgress(qelscreens::ProgressDialog::kSearch, dialog_, texts_, L"",
                                        [this](qelscreens::CancelFlag*) { return startSearch_(); });
    } catch (...) {
        // A search that failed, or that could not be run: the printers of the last one are
        // listed again.
    }
    if (printers_.empty()) {
        ShowBox(qelui::text::kSearchFailed, MB_ICONQUESTION);
        SetActionsEnabled(dialog_, false);
    }
    for (std::size_t i = 0; i < printers_.size(); ++i) {
        const printerutil::stDeviceData& printer = *printers_[i];
        const int row = static_cast<int>(i);
        AddRow(list, row, printer.modelName, printerutil::MaskString(printer.serialNumber));
        if (row == 0) {
            SelectRow(list, 0);
            ::SetFocus(list);
        }
    }
}

int PrinterListVM::Register() {
    const int row = SelectedRow(List());
    if (agreed_ == 0) {
        qelscreens::AgreementDialog agreement(texts_, facts_);
        if (agreement.DoModal(dialog_) == qelscreens::AgreementDialog::kAgreed) {
            agreed_ = 1;
        }
    }
    if (agreed_ == 0) {
        return 0;
    }
    if (RegisterPrinter(row) == 1) {
        ::SendMessageW(dialog_, WM_CLOSE, 0, 0);
    }
    return 1;
}

void PrinterListVM::OpenServiceInfo(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < printers_.size()) {
        SetServiceInfoContext(*facts_, *printers_[static_cast<std::size_t>(row)]);
    }
    facts_->SetUserAction(qelinfo::kUserActionNone);
    facts_->SetSendInfoCode(qelinfo::kSendInfoNone);
    system_.OpenPage(printerutil::ServicePageAddress(
        *facts_, printerutil::CurrentServiceAddresses().gateway, kivutil::kFunctionInfo));
}

int PrinterListVM::RegisterPrinter(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= printers_.size()) {
        return 0;
    }
    const std::shared_ptr<printerutil::stDeviceData> printer =
        printers_[static_cast<std::size_t>(row)];
    SetRegistrationContext(*facts_, *printer);
    const auto server = printerutil::BuildServerParam(printer->regionCode, facts_->GetResidence(),
                                                      facts_->GetArea());
    const auto param = BuildRegisterParam(*printer);
    // A recovery's user action reaches the report of the registration that follows it.
    if (*facts_->GetUsbRetried() == 0) {
        facts_->SetUserAction(kUserActionRegister);
    }
    facts_->SetSendInfoCode(qelinfo::kSendInfoNone);

    try {
        const printerutil::stRegSeqResult result = qelscreens::RunWithProgress(
            qelscreens::ProgressDialog::kStatus, dialog_, texts_, L"",
            [&](qelscreens::CancelFlag* cancel) {
                return printerutil::StartRegisterSequence(facts_, cancel, server, param);
            });
        // A gateway answer without a page still ends the registration; there is nothing to open.
        if (qelwinutil::IsWebPageAddress(result.url)) {
            system_.OpenPage(result.url);
        }
    } catch (...) {
        return AfterFailure(row, *printer, std::current_exception());
    }
    return 1;
}

int PrinterListVM::AfterFailure(int row, const printerutil::stDeviceData& printer,
                                const std::exception_ptr& failure) {
    // The recovery state lives in the application facts, so the report of the registration that
    // follows a recovery carries what the user did.
    qelwifi::FactsRecoveryState state(*facts_);
    qelwifi::ScreenWifiRecovery recovery(
        {dialog_, Texts(), facts_, system_},
        {printer.connection, printer.modelName, printer.serialNumber}, state);
    return recovery.AfterRegistrationFailure(failure) ? RegisterPrinter(row) : 0;
}

} // namespace qelprinterlist
