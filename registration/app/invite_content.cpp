#include "app/invite_content.h"

#include "qelcmn/constants.h"

namespace qelapp {

namespace {

constexpr wchar_t kServicePicture[] = L"illust.png";
constexpr wchar_t kAgreementPicture[] = L"illust_pr.png";
constexpr wchar_t kInvitationIcon[] = L"ICON_PY_KiV.png";

const InviteEntry kPlain{L"", 15005, 15006};
const InviteEntry kInvitation{kInvitationIcon, 15007, 15008};
const InviteEntry kServiceButton{kServicePicture, 15017, 15018};
const InviteEntry kAgreementFirst{kAgreementPicture, 15019, 15020};
const InviteEntry kAgreementSecond{L"", 15021, 15022};

} // namespace

bool InviteEntry::operator==(const InviteEntry& other) const {
    return std::wstring(imageFile) == other.imageFile && titleText == other.titleText &&
           bodyText == other.bodyText;
}

std::vector<InviteEntry> ChooseInviteContent(const InviteFacts& facts) {
    const std::wstring& region = facts.regionCode;
    if (region == qelcmn::RegionCode1) {
        return {facts.serviceKind == qelcmn::ServiceKindA ? kServiceButton : kInvitation};
    }
    if (region == qelcmn::RegionCode3) {
        if (facts.serviceKind == qelcmn::ServiceKindX) {
            return {kAgreementFirst, kAgreementSecond};
        }
        return {kPlain};
    }
    if (region == qelcmn::RegionCode4 || region == qelcmn::RegionCodeC) {
        if (!facts.area.empty() && !qelcmn::IsEuropeanCountryCode(facts.area)) {
            return {kPlain};
        }
        if (facts.serviceKind == qelcmn::ServiceKindA || facts.agreementKnown) {
            return {kAgreementFirst, kAgreementSecond};
        }
        return {kPlain};
    }
    if (!region.empty()) {
        return {};
    }
    if (facts.area == qelcmn::AreaJP) {
        return {kInvitation};
    }
    if (facts.area == qelcmn::CountryUS || facts.residence == qelcmn::RegionEurope) {
        return {kPlain};
    }
    return {};
}

} // namespace qelapp
