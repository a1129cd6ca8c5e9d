// The invitation content of the installer and launcher flows.
#include "app/TansuApp.h"
#include "app/invite_content.h"

namespace qelapp {

bool TansuApp::PrepareInviteContent(bool qelServiceOffered, bool agreementKnown,
                                    const std::wstring& regionCode,
                                    const std::wstring& serialNumber, unsigned char serviceType) {
    try {
        // Copies: the facts are about to overwrite the fields these read.
        const std::wstring residence = facts_.GetResidence();
        const std::wstring area = facts_.GetArea();
        facts_.SetLaunchContext(qelServiceOffered, agreementKnown, options_->GetFirstString(),
                                serialNumber, options_->GetThirdString(), residence, area,
                                regionCode, serviceType, facts_.GetLaunchMode());
        const std::vector<InviteEntry> entries = ChooseInviteContent(
            {regionCode, facts_.GetServiceKind(), area, residence, agreementKnown});
        if (entries.empty()) {
            return false;
        }
        qelinfo::IllustrationMap illustrations;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            illustrations[std::to_wstring(i + 1)] = {entries[i].imageFile,
                                                     texts_.LoadText(entries[i].titleText),
                                                     texts_.LoadText(entries[i].bodyText)};
        }
        facts_.SetIllustrations(std::move(illustrations));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace qelapp
