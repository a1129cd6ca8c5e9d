// The printer-ID server's answer: the identities it gave and the identity it echoed.
#pragma once

#include <string>

namespace jsonutil {

struct PrinterIDServerResponse {
    std::wstring tempPrinterId;
    std::wstring printerId;
    std::wstring serialNumber;
    std::wstring macAddress;
    std::wstring modelName;
};

} // namespace jsonutil
