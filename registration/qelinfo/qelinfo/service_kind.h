// Which cloud service a printer is registered with, from what the printer and the user report.
#pragma once

#include <string>

namespace qelinfo {

struct ServiceKindInput {
    bool qelServiceOffered = false; // the printer offers the qel service
    bool agreementKnown = false;    // the printer reports an agreement state
    std::wstring regionCode;        // the printer's product region: "1", "3", "4", "C" or empty
    std::wstring area;              // the user's area (country code)
    unsigned char serviceType = 0;  // 1 "serviceA", 2 "serviceD", 0 none
    int launchMode = 0;
};

// "auto", "serviceA", "serviceX" or "serviceY".
const std::wstring& ChooseServiceKind(const ServiceKindInput& input);

} // namespace qelinfo
