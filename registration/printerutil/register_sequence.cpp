#include "printerutil/register_sequence.h"

#include "printerutil/device_object.h"
#include "printerutil/device_operations.h"
#include "printerutil/server_steps.h"
#include "printerutil/task_start.h"
#include "printerutil/waits.h"
#include "qelcmn/constants.h"
#include "qelcmn/exceptions.h"

namespace printerutil {
namespace {

using qelcmn::qel_cancel;

constexpr std::chrono::milliseconds kServiceXPause{5000};
constexpr std::chrono::milliseconds kConnectivityPollPause{1000};
constexpr std::int64_t kConnectivityLimitSeconds = 30;
constexpr int kLaunchInstaller = 3;
constexpr int kLaunchLauncher = 4;
constexpr int kAgreementAgreed = 2;
constexpr int kAgreementNone = 0;

// Connectivity test values of the printer.
constexpr unsigned char kConnectivityNotYet = 200;
constexpr unsigned char kConnectivityRunning = 201;
constexpr unsigned char kConnectivityPassed = 202;
constexpr unsigned char kConnectivityNoInternet = 204;
constexpr unsigned char kConnectivityOtherError = 206;

[[noreturn]] void ThrowRetry() {
    throw qel_cancel(qelcmn::kCodeRetry, L"Register Printer Retry.");
}

// A USB printer that cannot reach the internet: the first time the screens offer the Wi-Fi
// recovery, after it they give up.
[[noreturn]] void ThrowUsbRetry(qelinfo::IApplicationInfo* info) {
    const int* retried = info != nullptr ? info->GetUsbRetried() : nullptr;
    if (retried == nullptr || *retried == 0) {
        throw qel_cancel(qelcmn::kCodeUsbRetry, L"USB Retry");
    }
    throw qel_cancel(qelcmn::kCodeUsbRetryFailed, L"USB Retry Fail.");
}

// Tells the printer that the user agreed to the web service. Without the library the step is
// left out.
void AgreementStep(const stRegsterParam& printer) {
    DeviceObject device(DeviceBackend().Entries());
    if (!device) {
        return;
    }
    int result = device.Initialize();
    if (result == 0) {
        result = device->SetDeviceAgreement(printer.address.c_str(),
                                            PortTypeOf(printer.connectionKind), 2);
    }
    if (result != 0) {
        ThrowRetry();
    }
}

// The printer's identities through the tokens; the printer's own failures that a retry may cure
// end the sequence (unless the installer started it), a USB printer without internet leads to
// the Wi-Fi recovery.
std::shared_ptr<stPrinterIDs> GetPrinterIDsStep(const xmlutil::TokenServerResponse& tokens,
                                                const stRegsterParam& printer, int launchMode,
                                                qelinfo::IApplicationInfo* info) {
    auto ids = GetPrinterIDs(tokens.access_token, tokens.refresh_token, tokens.url,
                             printer.connectionKind, printer.address);
    if (!ids) {
        return ids;
    }
    switch (ids->code) {
    case VTESDEV_PORT_FAILED:
    case VTESDEV_PRINTER_BUSY:
    case VTESDEV_NO_SERVER:
    case VTESDEV_PRINTER_NOT_READY:
        if (launchMode != kLaunchInstaller) {
            ThrowRetry();
        }
        break;
    case VTESDEV_NO_INTERNET:
        if (IsUsbConnection(printer.connectionKind)) {
            ThrowUsbRetry(info);
        }
        break;
    default:
        break;
    }
    return ids;
}

// Polls the printer's connectivity test once a second while it has no answer yet, for a little
// over 30 s. Gives the final value, kept in the printer record.
unsigned char ConnectivityTest(stRegsterParam& printer, qelinfo::IApplicationInfo* info) {
    unsigned char value = kConnectivityNotYet;
    {
        DeviceObject device(DeviceBackend().Entries());
        if (device) {
            if (device.Initialize() != 0) {
                ThrowRetry();
            }
            IWaits& waits = Waits();
            const std::int64_t start = waits.NowMs();
            const int portType = PortTypeOf(printer.connectionKind);
            int result = 0;
            for (;;) {
                result =
                    device->GetConnectivityTestResult(printer.address.c_str(), portType, &value);
                const bool pending = value == kConnectivityNotYet || value == kConnectivityRunning;
                if (result != 0 || !pending ||
                    (waits.NowMs() - start) / 1000 > kConnectivityLimitSeconds) {
                    break;
                }
                waits.Pause(kConnectivityPollPause);
            }
            if (result != 0) {
                ThrowRetry();
            }
        }
    }
    if ((value == kConnectivityNoInternet || value == kConnectivityOtherError) &&
        IsUsbConnection(printer.connectionKind)) {
        ThrowUsbRetry(info);
    }
    if (value == kConnectivityNotYet || value == kConnectivityRunning) {
        ThrowRetry();
    }
    printer.connectivityStatus = value;
    return value;
}

// The agreement and the identities by kind; ends with the cancel check before the report.
void DeviceAndServerSteps(int kind, int launchMode, qelinfo::IApplicationInfo* info,
                          const CancelFlag* cancel, const stServerParam& server,
                          stRegsterParam& printer, std::shared_ptr<stPrinterIDs>& ids) {
    if (printer.agreementRequest != 0 &&
        ((printer.agreement != kAgreementNone && printer.agreement != kAgreementAgreed) ||
         kind == kRegisterServiceY)) {
        AgreementStep(printer);
    }
    if (!(launchMode == kLaunchLauncher && IsUsbConnection(printer.connectionKind))) {
        switch (kind) {
        case kRegisterServiceA: {
            const auto tokens = RequestTokenStep(server, printer, cancel);
            if (IsCancelRequested(cancel)) {
                throw qel_cancel(qelcmn::kCodeCancelled, L"Get PrinterID Canceled.");
            }
            ids = GetPrinterIDsStep(tokens, printer, launchMode, info);
            break;
        }
        case kRegisterServiceX:
            Waits().Pause(kServiceXPause);
            ids = RequestPrinterIdStep(server, printer, cancel);
            break;
        case kRegisterServiceY:
            if (ConnectivityTest(printer, info) == kConnectivityPassed) {
                ids = RequestPrinterIdStep(server, printer, cancel);
            }
            break;
        default:
            break;
        }
    }
    if (IsCancelRequested(cancel)) {
        throw qel_cancel(qelcmn::kCodeCancelled, L"Register Printer Canceled.");
    }
}

int SuccessCode(int kind) {
    switch (kind) {
    case kRegisterAuto:
        return kResultRegisteredAuto;
    case kRegisterServiceA:
        return kResultRegisteredServiceA;
    case kRegisterServiceX:
    case kRegisterServiceY:
        return kResultRegisteredService;
    default:
        return kResultNothing;
    }
}

stRegSeqResult Sequence(qelinfo::IApplicationInfo* info, const CancelFlag* cancel,
                        const stServerParam& server, stRegsterParam& printer) {
    int kind = GetRegisterKind(info != nullptr ? info->GetServiceKind() : std::wstring());
    const int launchMode = info != nullptr ? info->GetLaunchMode() : 0;
    if (kind == kRegisterServiceX && IsUsbConnection(printer.connectionKind)) {
        kind = kRegisterAuto;
    }
    if (launchMode == kLaunchInstaller && printer.agreementRequest == 0) {
        kind = kRegisterAuto;
    }

    std::shared_ptr<stPrinterIDs> ids;
    try {
        DeviceAndServerSteps(kind, launchMode, info, cancel, server, printer, ids);
    } catch (...) {
        // The installer's registration reports whatever happened as a plain one.
        if (launchMode != kLaunchInstaller) {
            throw;
        }
        kind = kRegisterAuto;
    }

    const auto answer = ReportRegistrationResult(kind, info, cancel, ids, server, printer);
    if (answer.GetResult().empty() && !answer.url.empty()) {
        throw qelhttp::http_exception(qelhttp::kCodeNetworkError, L"Network Error");
    }
    stRegSeqResult result;
    if (answer.GetResult() == qelcmn::CapiSuccess) {
        result.code = SuccessCode(kind);
    } else if (answer.GetResult() == qelcmn::CapiOutService) {
        result.code = kResultOutOfService;
    }
    result.url = answer.url;
    return result;
}

stRegSeqResult RetryFallback() {
    ThrowRetry();
}

} // namespace

int GetRegisterKind(const std::wstring& serviceKind) {
    if (serviceKind == qelcmn::ServiceKindAuto) {
        return kRegisterAuto;
    }
    if (serviceKind == qelcmn::ServiceKindA) {
        return kRegisterServiceA;
    }
    if (serviceKind == qelcmn::ServiceKindX) {
        return kRegisterServiceX;
    }
    if (serviceKind == qelcmn::ServiceKindY) {
        return kRegisterServiceY;
    }
    return kRegisterNone;
}

stRegSeqResult RunRegisterSequence(qelinfo::IApplicationInfo* info, const CancelFlag* cancel,
                                   std::shared_ptr<stServerParam> server,
                                   std::shared_ptr<stRegsterParam> printer) {
    try {
        if (!server || !printer) {
            ThrowRetry();
        }
        return Sequence(info, cancel, *server, *printer);
    } catch (const qelcmn::qel_exception&) {
        throw;
    } catch (...) {
        // No memory, no thread, a broken promise: the screens offer a retry.
        ThrowRetry();
    }
}

std::future<stRegSeqResult> StartRegisterSequence(qelinfo::IApplicationInfo* info,
                                                  const CancelFlag* cancel,
                                                  std::shared_ptr<stServerParam> server,
                                                  std::shared_ptr<stRegsterParam> printer) {
    return StartTask<stRegSeqResult>(
        [=, server = std::move(server), printer = std::move(printer)] {
            return RunRegisterSequence(info, cancel, server, printer);
        },
        RetryFallback);
}

} // namespace printerutil
