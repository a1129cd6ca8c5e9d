// Texts that several parts of the application compare against.
#pragma once

#include <array>
#include <string>

namespace qelcmn {

extern const std::wstring CapiSuccess;
extern const std::wstring CapiOutService;

extern const std::wstring ServiceKindAuto;
extern const std::wstring ServiceKindA;
extern const std::wstring ServiceKindX;
extern const std::wstring ServiceKindY;

extern const std::wstring RegionCode1;
extern const std::wstring RegionCode3;
extern const std::wstring RegionCode4;
extern const std::wstring RegionCodeC;
extern const std::wstring RegionEurope;
extern const std::wstring AreaJP;
extern const std::wstring CountryUS;

extern const std::array<std::wstring, 23> EuropeanCountryCodes;

extern const std::wstring HttpVerbGet;
extern const std::wstring HttpVerbPost;
extern const std::wstring HttpVerbHead;

// Proxy credentials the user typed once; reused by every later request of the process.
extern std::wstring CachedProxyUserName;
extern std::wstring CachedProxyPassword;

bool IsEuropeanCountryCode(const std::wstring& area);

} // namespace qelcmn
