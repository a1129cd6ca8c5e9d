// The facts that every gateway request carries in its query string.
#pragma once

#include <string>

#include "qelinfo/IApplicationInfo.h"

// One text per query key; an empty text is an absent or empty value.
struct KIVURLParams {
    std::wstring functionCode;    // FNC
    std::wstring channel;         // CHA
    std::wstring language;        // LNG
    std::wstring osVersion;       // OSV
    std::wstring residence;       // RES, when the region code is empty
    std::wstring area;            // ARA
    std::wstring device;          // DEV
    std::wstring softwareVersion; // SFV
    std::wstring regionCode;      // RES, when non-empty
    std::wstring status;          // STS
    std::wstring serialNumber;    // SNO
    std::wstring userAction;      // UAH
    std::wstring sendInfoCode;    // FUS
};

namespace kivutil {

// Function codes of the flags given to Build (its low four bits).
inline constexpr unsigned int kFunctionRegisterAuto = 1; // "UREG_AUTO"
inline constexpr unsigned int kFunctionInfo = 2;         // "INFO"
inline constexpr unsigned int kFunctionLogin = 3;        // "MLOGIN"
inline constexpr unsigned int kFunctionRegisterSkip = 4; // "UREG_SKIP"

// The send-info code that means "not set".
inline constexpr int kSendInfoCodeNone = 0x8000;

// What the caller reports besides the application facts.
struct KIVServerURLParamContext {
    qelinfo::IApplicationInfo* applicationInfo = nullptr; // not owned
    unsigned char connectivityResult = 0; // the printer's connectivity test, 200 to 206
    std::wstring status;
    std::wstring statusDetail;
};

class KIVServerURLParamBuilder {
public:
    virtual ~KIVServerURLParamBuilder() = default;

    // Replaces the output with the parameters of one request. Without application facts the
    // values that come from them stay empty ("Unknown" where a fall-back exists).
    void Build(KIVURLParams& out, unsigned int flags, KIVServerURLParamContext context) const;
};

} // namespace kivutil
