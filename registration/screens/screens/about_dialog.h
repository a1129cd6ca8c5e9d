// About the program: name, version and copyright, closed with OK or Escape.
#pragma once

#include <windows.h>

#include "ui/dialog_controller.h"

namespace qelscreens {

class AboutDialog final : public qelui::DialogController {
public:
    explicit AboutDialog(const qelui::TextLibrary* texts) noexcept : DialogController(texts) {}

    // IDOK or IDCANCEL.
    INT_PTR DoModal(HWND owner);

protected:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace qelscreens
