#include "app/app_system.h"

#include "app/post_next.h"
#include "winutil/open_page.h"

namespace qelapp {

bool AppSystem::PostNext(HWND window, UINT message, WPARAM wParam) {
    return PostNextOrEnd(window, message, wParam);
}

int AppSystem::ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                              UINT style) {
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), style);
}

void AppSystem::OpenPage(const std::wstring& address) {
    qelwinutil::OpenPage(address);
}

bool AppSystem::IsElevated() {
    return qelwinutil::IsProcessElevated();
}

AppSystem& ProgramSystem() noexcept {
    static AppSystem system;
    return system;
}

} // namespace qelapp
