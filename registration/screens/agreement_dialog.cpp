#include "screens/agreement_dialog.h"

#include "ui/center_window.h"
#include "ui/dialog_font.h"
#include "ui/dialog_layout.h"
#include "ui/text_ids.h"

namespace qelscreens {

namespace {

// Client area of the laid-out dialog, in pixels at 96 pixels per inch.
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 320;

} // namespace

qelui::PixelLayout LayOutAgreement(int pixelsPerInch, int captionButtonHeight) {
    const auto S = [pixelsPerInch](int pixels) {
        return qelui::ScaleToDensity(pixels, pixelsPerInch);
    };
    const int line = ::MulDiv(9, pixelsPerInch, 72) + 4;
    const int buttons = 4 * line + S(194);
    return {{S(kClientWidth), S(kClientHeight) - captionButtonHeight},
            {
                {IDC_AGREEMENT_HEADING, S(20), S(20), S(560), line},
                {IDC_AGREEMENT_TEXT, S(20), line + S(28), S(560), S(150)},
                {IDC_AGREEMENT_NOTE, S(20), line + S(186), S(560), 2 * line},
                {IDC_AGREE, S(430), buttons, S(150), S(25)},
                {IDC_DISAGREE, S(267), buttons, S(150), S(25)},
            }};
}

std::wstring WithCarriageReturns(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 8);
    for (wchar_t c : text) {
        if (c == L'\n') {
            out += L'\r';
        }
        out += c;
    }
    return out;
}

INT_PTR AgreementDialog::DoModal(HWND owner) {
    SetViewModel(nullptr);
    return DialogController::DoModal(IDD_AGREEMENT, owner);
}

INT_PTR AgreementDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return FALSE;
    case WM_SHOWWINDOW:
        ::SetFocus(Item(IDC_DISAGREE));
        return FALSE;
    case WM_COMMAND: {
        // Only the two buttons answer; IDCANCEL (Escape, the close request) is no answer.
        const int id = LOWORD(wParam);
        if (id == IDC_AGREE || id == IDC_DISAGREE) {
            End(id);
        }
        return FALSE;
    }
    case WM_CTLCOLORSTATIC:
        // The read-only agreement text shows on white, like a page.
        if (reinterpret_cast<HWND>(lParam) == Item(IDC_AGREEMENT_TEXT)) {
            ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
            return reinterpret_cast<INT_PTR>(::GetStockObject(WHITE_BRUSH));
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void AgreementDialog::OnInitDialog() {
    HWND dialog = Window();
    qelui::ApplyLayout(
        dialog, LayOutAgreement(qelui::PixelsPerInchY(dialog), ::GetSystemMetrics(SM_CYSIZE)));
    qelui::SetControlFont(Item(IDC_AGREEMENT_HEADING), OwnFont(9, FW_BOLD));
    qelui::SetControlFont(Item(IDC_AGREEMENT_NOTE), OwnFont(9, FW_NORMAL));
    const HFONT buttons = OwnFont(10, FW_NORMAL);
    qelui::SetControlFont(Item(IDC_AGREE), buttons);
    qelui::SetControlFont(Item(IDC_DISAGREE), buttons);

    if (const qelui::TextLibrary* texts = Texts()) {
        const bool noServiceYet = facts_ != nullptr && facts_->GetServiceKind() == L"auto";
        SetCaptionText(noServiceYet ? qelui::text::kCaptionNoService : qelui::text::kCaption);
        SetItemText(IDC_AGREEMENT_HEADING, qelui::text::kAgreementHeading);
        const std::wstring body = WithCarriageReturns(texts->LoadText(qelui::text::kAgreementText));
        ::SetDlgItemTextW(dialog, IDC_AGREEMENT_TEXT, body.c_str());
        SetItemText(IDC_AGREEMENT_NOTE, qelui::text::kAgreementNote);
        SetItemText(IDC_AGREE, qelui::text::kAgreeButton);
        SetItemText(IDC_DISAGREE, qelui::text::kDisagreeButton);
    }
    qelui::CenterWindow(dialog);
    ::ShowWindow(dialog, SW_SHOW);
}

} // namespace qelscreens
