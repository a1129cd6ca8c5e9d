#include "app/TansuApp.h"

#include "app/app_messages.h"
#include "app/app_system.h"
#include "app/post_next.h"
#include "app/start_route.h"
#include "resource.h"
#include "ui/message_box.h"
#include "ui/text_ids.h"
#include "ui/window_data.h"
#include "winutil/registry_values.h"

namespace qelapp {

namespace {

// Messages that arrive before the window holds the application object go to the default.
LRESULT CALLBACK TansuAppWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    TansuApp* app = qelui::GetWindowPointer<TansuApp>(window);
    if (app == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return app->WndProc(window, message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's dispatch; a flow that fails ends the run.
        PostNextOrEnd(window, WM_CLOSE);
        return 0;
    }
}

HICON LoadAppIcon(HINSTANCE instance, int size) noexcept {
    return static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP_ICON), IMAGE_ICON, size, size, LR_SHARED));
}

} // namespace

TansuApp::TansuApp(qelui::ISystem* system)
    : system_(system != nullptr ? *system : ProgramSystem()),
      options_(std::make_unique<CommandLineOptions>()) {}

TansuApp::~TansuApp() {
    printerList_.reset();
    texts_.Unload();
    options_.reset();
}

bool TansuApp::ParseCommandLine(int argc, const wchar_t* const* argv) noexcept {
    return options_->Parse(argc, argv);
}

bool TansuApp::CreateMainWindow(HINSTANCE instance) noexcept {
    instance_ = instance;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = TansuAppWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_ICON));
    windowClass.hIconSm = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_ICON));
    windowClass.lpszClassName = kWindowClassName;
    if (::RegisterClassExW(&windowClass) == 0) {
        return false;
    }
    largeIcon_ = LoadAppIcon(instance, 48);
    smallIcon_ = LoadAppIcon(instance, 16);

    HWND window = ::CreateWindowExW(0, kWindowClassName, nullptr, WS_OVERLAPPEDWINDOW,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                    HWND_MESSAGE, nullptr, instance, nullptr);
    if (window == nullptr) {
        return false;
    }
    qelui::SetWindowPointer(window, this);
    return system_.PostNext(window, kMsgStart, 0);
}

int TansuApp::RunMessageLoop() noexcept {
    MSG message{};
    for (;;) {
        const BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
        if (result == 0) {
            return static_cast<int>(message.wParam);
        }
        if (result == -1) {
            return 0;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

LRESULT TansuApp::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kMsgStart:
        return OnStartDispatch(window);
    case kMsgStartMessage:
        return OnStartMessage(window, wParam);
    case kMsgPrinterList:
        return OnPrinterList(window);
    case kMsgInstallerFlow:
        return OnInstallerFlow(window);
    case kMsgAgreement:
        return OnAgreement(window);
    case kMsgServiceInfoPage:
    case kMsgLoginPage:
        return OnServicePage(window, message);
    case kMsgLauncherFlow:
        return OnLauncherFlow(window);
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT TansuApp::OnStartDispatch(HWND window) {
    const StartRoute route = RouteStart(options_->GetMode(), options_->GetSubOption());
    if (route.launchMode) {
        facts_.SetLaunchMode(*route.launchMode);
    }
    system_.PostNext(window, route.message, route.wParam);
    return 0;
}

LRESULT TansuApp::OnStartMessage(HWND window, WPARAM wParam) {
    // Without the library every text is empty, and the boxes still show.
    texts_.Load(facts_.GetLanguageCode());
    if (wParam == kStartedWithoutOption) {
        qelui::ShowTextMessageBox(system_, nullptr, texts_, qelui::text::kStartedWithoutOption,
                                  MB_ICONERROR);
        system_.PostNext(window, WM_CLOSE, 0);
        return 1;
    }
    const int answer = qelui::ShowTextMessageBox(
        system_, nullptr, texts_, qelui::text::kSetupInformation, MB_ICONQUESTION | MB_OK);
    system_.PostNext(window, answer == IDOK ? kMsgPrinterList : WM_CLOSE, 0);
    return 1;
}

bool TansuApp::FindSendInfoAgree(const std::wstring& subKeyName) {
    const auto agreed =
        qelwinutil::FindInstalledDeviceSendInfoAgree(facts_.GetDeviceName(), subKeyName);
    return agreed.has_value() && *agreed == 1;
}

} // namespace qelapp
