// What the invitation screen shows for a printer and a user: one or two entries of an optional
// picture, a title and a body text, or nothing at all.
#pragma once

#include <string>
#include <vector>

namespace qelapp {

struct InviteEntry {
    const wchar_t* imageFile; // beside the program; empty: no picture
    int titleText;            // UI text numbers
    int bodyText;
    bool operator==(const InviteEntry& other) const;
};

struct InviteFacts {
    std::wstring regionCode;  // the printer's: "1", "3", "4", "C" or empty (no printer)
    std::wstring serviceKind; // as the launch facts chose it for the printer
    std::wstring area;
    std::wstring residence;
    bool agreementKnown = false; // the printer reports an agreement state
};

// The entries by the first matching row:
//   region "1":        serviceA: illust.png 15017/15018; otherwise ICON_PY_KiV.png 15007/15008
//   region "3":        serviceX: illust_pr.png 15019/15020 and 15021/15022; otherwise 15005/15006
//   region "4" or "C": an area outside Europe: 15005/15006; serviceA or an agreement state:
//                      illust_pr.png 15019/15020 and 15021/15022; otherwise 15005/15006
//   another region:    nothing
//   no region:         area "JP": ICON_PY_KiV.png 15007/15008; area "US" or residence
//                      "europe": 15005/15006; otherwise nothing
std::vector<InviteEntry> ChooseInviteContent(const InviteFacts& facts);

} // namespace qelapp
