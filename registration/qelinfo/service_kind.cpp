#include "qelinfo/service_kind.h"

#include "qelcmn/constants.h"

namespace qelinfo {

namespace {

const std::wstring& ByServiceType(unsigned char serviceType) {
    return serviceType == 1 ? qelcmn::ServiceKindA : qelcmn::ServiceKindY;
}

// Starts from the installer or the launcher outside Europe keep the automatic choice.
bool KeepsAutoOutsideEurope(const ServiceKindInput& input) {
    const bool startedByTool =
        input.launchMode == 1 || input.launchMode == 2 || input.launchMode == 4;
    return !input.area.empty() && startedByTool && !qelcmn::IsEuropeanCountryCode(input.area);
}

} // namespace

const std::wstring& ChooseServiceKind(const ServiceKindInput& input) {
    const std::wstring& region = input.regionCode;
    if (region == qelcmn::RegionCode1) {
        return input.qelServiceOffered ? ByServiceType(input.serviceType) : qelcmn::ServiceKindAuto;
    }
    if (region == qelcmn::RegionCode4 || region == qelcmn::RegionCodeC) {
        if (KeepsAutoOutsideEurope(input)) {
            return qelcmn::ServiceKindAuto;
        }
        if (input.qelServiceOffered) {
            return ByServiceType(input.serviceType);
        }
        return input.agreementKnown ? qelcmn::ServiceKindX : qelcmn::ServiceKindAuto;
    }
    if (region == qelcmn::RegionCode3) {
        if (input.qelServiceOffered && input.serviceType == 2) {
            return qelcmn::ServiceKindY;
        }
        return input.agreementKnown ? qelcmn::ServiceKindX : qelcmn::ServiceKindAuto;
    }
    return qelcmn::ServiceKindAuto;
}

} // namespace qelinfo
