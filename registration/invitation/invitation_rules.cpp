#include "invitation/invitation_rules.h"

#include "qelcmn/constants.h"
#include "ui/text_ids.h"

namespace qelinvitation {

namespace {

bool IsEuropeanRegion(const std::wstring& regionCode) {
    return regionCode == L"4" || regionCode == L"C";
}

} // namespace

ButtonTexts ChooseButtonTexts(const std::wstring& regionCode, const std::wstring& serviceKind,
                              const std::wstring& area, unsigned char agreementState) {
    namespace text = qelui::text;
    constexpr ButtonTexts kPlain{text::kButtonSkip, text::kButtonRegister, false};
    constexpr ButtonTexts kAgreement{text::kButtonSkipAgreement, text::kButtonRegisterAgreement,
                                     false};
    if (regionCode == L"1") {
        return serviceKind == L"serviceA"
                   ? ButtonTexts{text::kButtonSkipService, text::kButtonRegisterService, true}
                   : kPlain;
    }
    if (regionCode == L"3") {
        return serviceKind == L"serviceX" ? kAgreement : kPlain;
    }
    if (IsEuropeanRegion(regionCode)) {
        const bool europeanUser = area.empty() || qelcmn::IsEuropeanCountryCode(area);
        const bool offered = serviceKind == L"serviceA" || agreementState != 0;
        return europeanUser && offered ? kAgreement : kPlain;
    }
    return kPlain;
}

LayoutKind ChooseLayout(const std::wstring& regionCode, const std::wstring& serviceKind,
                        unsigned char agreementState) {
    if (regionCode == L"1" && serviceKind == L"serviceA") {
        return LayoutKind::kButton;
    }
    if (IsEuropeanRegion(regionCode) &&
        (serviceKind == L"serviceA" || (serviceKind != L"auto" && agreementState != 0))) {
        return LayoutKind::kTwoColumn;
    }
    if (regionCode == L"3" && serviceKind == L"serviceX") {
        return LayoutKind::kTwoColumn;
    }
    return LayoutKind::kList;
}

int CaptionText(const std::wstring& serviceKind) {
    return serviceKind == L"auto" ? qelui::text::kCaptionNoService : qelui::text::kCaption;
}

} // namespace qelinvitation
