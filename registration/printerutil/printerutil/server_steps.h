// The two cloud steps of a registration: the tokens for a printer that creates its own
// identity, and the identities the printer-ID service gives.
#pragma once

#include <memory>

#include "printerutil/cancel_flag.h"
#include "printerutil/registration_records.h"
#include "xmlutil/token_server_response.h"

namespace printerutil {

// Asks the token service (the regional service code as tenant) for the printer's tokens.
// Throws what the client throws; qelhttp::qel_operation_canceled once the cancel flag stopped it.
xmlutil::TokenServerResponse RequestTokenStep(const stServerParam& server,
                                              const stRegsterParam& printer,
                                              const CancelFlag* cancel);

// Asks the printer-ID service for the printer's identities: {0, its printer id, its temporary
// printer id}; nothing when no temporary identity came back. Throws as above.
std::shared_ptr<stPrinterIDs> RequestPrinterIdStep(const stServerParam& server,
                                                   const stRegsterParam& printer,
                                                   const CancelFlag* cancel);

} // namespace printerutil
