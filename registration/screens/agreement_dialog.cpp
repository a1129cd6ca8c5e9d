#include "screens/agreement_dialog.h"

#include "ui/center_window.h"
#include "ui/dialog_font.h"
#include "ui/dialog_layout.h"
#include "ui/text_ids.h"

namespace qelscreens {

namespace {

// Client area of the laid-out dialog, in pixels.
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 320;

using qelui::PlaceControl;
using qelui::SetControlFont;

} // namespace

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
    qelui::SetClientSize(dialog, kClientWidth, kClientHeight - ::GetSystemMetrics(SM_CYSIZE));

    const int line = ::MulDiv(9, qelui::PixelsPerInchY(dialog), 72) + 4;
    PlaceControl(Item(IDC_AGREEMENT_HEADING), 20, 20, 560, line);
    SetControlFont(Item(IDC_AGREEMENT_HEADING), OwnFont(9, FW_BOLD));
    PlaceControl(Item(IDC_AGREEMENT_TEXT), 20, line + 28, 560, 150);
    PlaceControl(Item(IDC_AGREEMENT_NOTE), 20, line + 186, 560, 2 * line);
    SetControlFont(Item(IDC_AGREEMENT_NOTE), OwnFont(9, FW_NORMAL));
    const HFONT buttons = OwnFont(10, FW_NORMAL);
    PlaceControl(Item(IDC_AGREE), 430, 4 * line + 194, 150, 25);
    PlaceControl(Item(IDC_DISAGREE), 267, 4 * line + 194, 150, 25);
    SetControlFont(Item(IDC_AGREE), buttons);
    SetControlFont(Item(IDC_DISAGREE), buttons);

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
