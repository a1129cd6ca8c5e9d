// Where a registration sends its requests: the cloud addresses of the program and the rule that
// picks the regional service and its token service for a printer. The invitation content, the
// invitation screen and the printer list all build their server record here.
#pragma once

#include <memory>
#include <string>

#include "printerutil/registration_records.h"

namespace printerutil {

// The cloud addresses a registration may use.
struct ServiceAddresses {
    std::wstring gateway;       // the report's target
    std::wstring printerId;     // printer-ID service
    std::wstring europeTokens;  // token service of the "rem" region
    std::wstring defaultTokens; // token service of the "nqo" region
};

// The program's own: the gateway and printer-ID addresses of the configuration texts, the two
// token services built from their tables.
ServiceAddresses ConfiguredServiceAddresses();

// The two token-service addresses, built at run time from the tables the build made of the
// same values as the configuration's token-service entries (UTF-8).
std::string BuildEuropeTokenServiceText();
std::string BuildDefaultTokenServiceText();

// The addresses registrations use now: the program's own unless a test put others in place.
ServiceAddresses CurrentServiceAddresses();

// Puts other addresses in place for the life of the guard (tests: a simulated cloud). Set before
// the registrations start and ended after they have.
class ScopedServiceAddresses {
public:
    explicit ScopedServiceAddresses(ServiceAddresses addresses);
    ~ScopedServiceAddresses();
    ScopedServiceAddresses(const ScopedServiceAddresses&) = delete;
    ScopedServiceAddresses& operator=(const ScopedServiceAddresses&) = delete;

private:
    ServiceAddresses addresses_;
    const ServiceAddresses* previous_;
};

// The server record for a printer of that region code, for a user of that residence and area;
// the first matching row wins:
//   region "4" or "C"                         "rem"  Europe's token service
//   no region, residence "europe"             "rem"  Europe's token service
//   region "3"                                "tava" no token service
//   no region, a residence, area "US"         "tava" no token service
//   anything else                             "nqo"  the default token service
// Gateway and printer-ID addresses from CurrentServiceAddresses, service id "001".
std::shared_ptr<stServerParam> BuildServerParam(const std::wstring& regionCode,
                                                const std::wstring& residence,
                                                const std::wstring& area);

} // namespace printerutil
