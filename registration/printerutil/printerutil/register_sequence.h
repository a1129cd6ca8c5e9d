// One registration of a printer with the cloud service, run as one task: the agreement, the
// identities by the printer's service kind, and the report to the gateway.
#pragma once

#include <future>
#include <memory>
#include <string>

#include "printerutil/cancel_flag.h"
#include "printerutil/registration_records.h"
#include "printerutil/result_report.h"
#include "qelinfo/IApplicationInfo.h"

namespace printerutil {

// "auto" 1, "serviceA" 2, "serviceX" 3, "serviceY" 4, any other text 0 (exact comparison).
int GetRegisterKind(const std::wstring& serviceKind);

// The sequence on the caller's thread. Gives the outcome (code 0, 2, 3, 4 or 5 and the page to
// open) or throws one of the application's exceptions:
//   qelcmn::qel_cancel 0x82080102 "Get PrinterID Canceled." / "Register Printer Canceled."
//                      0x82080103 "Register Printer Retry." (also for any failure of the
//                                 program itself, such as memory running out)
//                      0x82080104 "USB Retry", 0x82080106 "USB Retry Fail."
//   qelhttp::http_exception, qelhttp::qel_operation_canceled and xmlutil::invalid_document of the
//   cloud steps, unchanged.
// Writes the final connectivity test value into the printer record.
stRegSeqResult RunRegisterSequence(qelinfo::IApplicationInfo* info, const CancelFlag* cancel,
                                   std::shared_ptr<stServerParam> server,
                                   std::shared_ptr<stRegsterParam> printer);

// The sequence on a worker of its own; the task keeps both records alive. The future holds the
// outcome or one of the exceptions above, also when no worker could be started.
std::future<stRegSeqResult> StartRegisterSequence(qelinfo::IApplicationInfo* info,
                                                  const CancelFlag* cancel,
                                                  std::shared_ptr<stServerParam> server,
                                                  std::shared_ptr<stRegsterParam> printer);

} // namespace printerutil
