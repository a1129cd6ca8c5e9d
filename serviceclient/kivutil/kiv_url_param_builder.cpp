#include <algorithm>
#include <cstdio>

#include "kivutil/kiv_url_params.h"

namespace kivutil {
namespace {

std::wstring Channel(int launchMode) {
    switch (launchMode) {
    case 0:
        return L"UR";
    case 1:
        return L"PY";
    case 2:
        return L"PY2";
    case 3:
        return L"PY3";
    case 4:
        return L"HD";
    default:
        return {};
    }
}

std::wstring FunctionCode(unsigned int function) {
    switch (function) {
    case kFunctionRegisterAuto:
        return L"UREG_AUTO";
    case kFunctionInfo:
        return L"INFO";
    case kFunctionLogin:
        return L"MLOGIN";
    case kFunctionRegisterSkip:
        return L"UREG_SKIP";
    default:
        return {};
    }
}

std::wstring UserAction(const int* action) {
    if (action == nullptr) {
        return {};
    }
    switch (*action) {
    case 1:
        return L"NONE";
    case 2:
        return L"CDLG1";
    case 3:
        return L"CDLG2";
    case 4:
        return L"CDLG4";
    case 5:
        return L"CDLG5";
    case 6:
        return L"SDLG1";
    case 7:
        return L"SDLG2";
    default:
        return {};
    }
}

std::wstring ConnectivitySuffix(unsigned char result, const std::wstring& detail) {
    switch (result) {
    case 0xCB:
        return L"_CT_SERVER_ERR";
    case 0xCC:
        return L"_CT_NOT_INTERNET";
    case 0xCD:
        return L"_CT_TIMEOUT";
    case 0xCE:
        return L"_CT_OTHER_ERR";
    default:
        return detail.empty() ? std::wstring() : L"_" + detail;
    }
}

// Four upper-case hex digits for the 16-bit codes; a value outside them keeps all its digits
// rather than being cut.
std::wstring SendInfoCode(int value) {
    if (value == kSendInfoCodeNone) {
        return {};
    }
    char digits[9] = {};
    const int written =
        std::snprintf(digits, sizeof(digits), "%04X", static_cast<unsigned int>(value));
    if (written <= 0) {
        return {};
    }
    return std::wstring(digits, digits + std::min<std::size_t>(static_cast<std::size_t>(written),
                                                               sizeof(digits) - 1));
}

} // namespace

void KIVServerURLParamBuilder::Build(KIVURLParams& out, unsigned int flags,
                                     KIVServerURLParamContext context) const {
    out = KIVURLParams{};
    const unsigned int function = flags & 0xF;
    out.functionCode = FunctionCode(function);
    const bool fallBackToUnknown =
        function == kFunctionRegisterAuto || function == kFunctionRegisterSkip;

    if (!context.status.empty()) {
        out.status =
            context.status + ConnectivitySuffix(context.connectivityResult, context.statusDetail);
    }

    qelinfo::IApplicationInfo* info = context.applicationInfo;
    if (info == nullptr) {
        out.device = L"Unknown";
        if (fallBackToUnknown) {
            out.serialNumber = L"Unknown";
        }
        return;
    }
    out.channel = Channel(info->GetLaunchMode());
    out.residence = info->GetResidence();
    out.area = info->GetArea();
    out.regionCode = info->GetRegionCode();
    out.language = info->GetLanguageCode();
    out.osVersion = info->GetOSVersion();
    const std::wstring& device = info->GetDeviceName();
    out.device = device.empty() ? L"Unknown" : device;
    out.softwareVersion = info->GetVersion();
    const std::wstring& serial = info->GetSerialNumber();
    if (!serial.empty()) {
        out.serialNumber = serial;
    } else if (fallBackToUnknown) {
        out.serialNumber = L"Unknown";
    }
    out.userAction = UserAction(info->GetUserAction());
    out.sendInfoCode = SendInfoCode(info->GetSendInfoCode());
}

} // namespace kivutil
