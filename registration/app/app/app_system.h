// The program's answers to what the flows ask of the system.
#pragma once

#include "ui/system.h"

namespace qelapp {

class AppSystem final : public qelui::ISystem {
public:
    bool PostNext(HWND window, UINT message, WPARAM wParam) override;
    int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                       UINT style) override;
    void OpenPage(const std::wstring& address) override;
    bool IsElevated() override;
};

// The one instance the program uses.
AppSystem& ProgramSystem() noexcept;

} // namespace qelapp
