#include "qelhttp/gateway_texts.h"

#include "qelcmn/text_utils.h"

namespace qelhttp {
namespace {

void Append(std::string& query, const char* key, const std::wstring& value) {
    query += key;
    query += qelcmn::UrlEncodeToString(qelcmn::WideToUtf8Replacing(value));
}

} // namespace

std::wstring BuildKIVQuery(const std::wstring& baseAddress, const KIVURLParams& params) {
    std::string url = qelcmn::WideToUtf8Replacing(baseAddress);
    Append(url, "?FNC=", params.functionCode);
    Append(url, "&CHA=", params.channel);
    Append(url, "&LNG=", params.language);
    Append(url, "&OSV=", params.osVersion);
    if (!params.regionCode.empty()) {
        Append(url, "&RES=", params.regionCode);
        if (!params.area.empty()) {
            Append(url, "&ARA=", params.area);
        }
    } else {
        Append(url, "&RES=", params.residence);
        Append(url, "&ARA=", params.area);
    }
    Append(url, "&DEV=", params.device);
    Append(url, "&SFV=", params.softwareVersion);
    const struct {
        const char* key;
        const std::wstring& value;
    } optional[] = {
        {"&STS=", params.status},
        {"&SNO=", params.serialNumber},
        {"&UAH=", params.userAction},
        {"&FUS=", params.sendInfoCode},
    };
    for (const auto& [key, value] : optional) {
        if (!value.empty()) {
            Append(url, key, value);
        }
    }
    return qelcmn::Utf8ToWide(url);
}

std::string BuildRegistrationRequest(const KIVRegistrationData& data) {
    return "message=" + qelcmn::UrlEncodeToString(kivutil::BuildRegistrationDocument(data));
}

} // namespace qelhttp
