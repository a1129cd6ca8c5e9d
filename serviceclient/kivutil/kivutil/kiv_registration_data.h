// The outcome of one registration as the gateway receives it, and the document that carries it.
#pragma once

#include <string>

#include "qelcmn/unix_time.h"

struct KIVRegistrationData {
    std::wstring area;
    std::wstring agent; // also the User-Agent of the post
    qelcmn::UnixTimeStamp requestTime;
    std::wstring deviceId;
    std::wstring serialNumber;
    std::wstring configuration;
    std::wstring serverStatus;
    std::wstring tempPrinterId; // sent encrypted
    std::wstring setPrinterId;  // sent encrypted
    std::wstring region;
    std::wstring country;
    std::wstring deviceRegion; // also chooses the regional service
};

namespace kivutil {

// Regional service codes.
extern const std::wstring ServiceRem;
extern const std::wstring ServiceTava;
extern const std::wstring ServiceNqo;

// "rem", "tava" or "nqo" by the device region, else by the region and the country.
const std::wstring& ChooseRegistrationService(const KIVRegistrationData& data);

// The UTF-8 "registration:req_0122" document; field values are escaped for XML.
std::string BuildRegistrationDocument(const KIVRegistrationData& data);

} // namespace kivutil
