// The service agreement: the user agrees or declines before a printer is registered; Escape and
// the close request do not count as an answer.
#pragma once

#include <windows.h>

#include <string>

#include "qelinfo/IApplicationInfo.h"
#include "resource.h"
#include "ui/dialog_controller.h"
#include "ui/dialog_layout.h"

namespace qelscreens {

class AgreementDialog final : public qelui::DialogController {
public:
    static constexpr INT_PTR kAgreed = IDC_AGREE;
    static constexpr INT_PTR kDeclined = IDC_DISAGREE;

    // The facts decide the caption (the service kind); either may be null.
    AgreementDialog(const qelui::TextLibrary* texts, qelinfo::IApplicationInfo* facts) noexcept
        : DialogController(texts), facts_(facts) {}

    // kAgreed or kDeclined.
    INT_PTR DoModal(HWND owner);

protected:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();

    qelinfo::IApplicationInfo* facts_;
};

// Where the dialog puts the heading, the text, the note, Agree and Disagree at that density: a
// client area of 600 x 320 pixels at 96 pixels per inch, grown with the density, less the height
// of the caption's buttons; lines of the 9-point font as tall as that font at the density.
qelui::PixelLayout LayOutAgreement(int pixelsPerInch, int captionButtonHeight);

// The text with every "\n" made "\r\n", which a multi-line edit box needs to break the line.
std::wstring WithCarriageReturns(const std::wstring& text);

} // namespace qelscreens
