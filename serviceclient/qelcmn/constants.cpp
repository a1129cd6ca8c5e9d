#include "qelcmn/constants.h"

#include <algorithm>

namespace qelcmn {

const std::wstring CapiSuccess = L"CAPI_SUCCESS";
const std::wstring CapiOutService = L"CAPI_OUT_SERVICE";

const std::wstring ServiceKindAuto = L"auto";
const std::wstring ServiceKindA = L"serviceA";
const std::wstring ServiceKindX = L"serviceX";
const std::wstring ServiceKindY = L"serviceY";

const std::wstring RegionCode1 = L"1";
const std::wstring RegionCode3 = L"3";
const std::wstring RegionCode4 = L"4";
const std::wstring RegionCodeC = L"C";
const std::wstring RegionEurope = L"europe";
const std::wstring AreaJP = L"JP";
const std::wstring CountryUS = L"US";

const std::array<std::wstring, 23> EuropeanCountryCodes = {
    L"AT", L"BE", L"CZ", L"DK", L"FI", L"FR", L"DE", L"HU", L"IE", L"IT", L"LU", L"NL",
    L"NO", L"PL", L"PT", L"SK", L"ES", L"SE", L"CH", L"GB", L"EE", L"LV", L"LT",
};

const std::wstring HttpVerbGet = L"GET";
const std::wstring HttpVerbPost = L"POST";
const std::wstring HttpVerbHead = L"HEAD";

std::wstring CachedProxyUserName;
std::wstring CachedProxyPassword;

bool IsEuropeanCountryCode(const std::wstring& area) {
    return std::find(EuropeanCountryCodes.begin(), EuropeanCountryCodes.end(), area) !=
           EuropeanCountryCodes.end();
}

} // namespace qelcmn
