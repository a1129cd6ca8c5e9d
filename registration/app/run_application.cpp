#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/TansuApp.h"
#include "printerutil/notice_threads.h"
#include "win/gdiplus_session.h"
#include "win/unique_any.h"

namespace qelapp {

int RunApplication(HINSTANCE instance) noexcept {
    try {
        HANDLE mutexHandle = ::CreateMutexW(nullptr, FALSE, kSingleInstanceMutexName);
        const DWORD mutexError = ::GetLastError();
        const qelwin::unique_mutex_ownership mutex(mutexHandle);
        if (!mutex || mutexError == ERROR_ALREADY_EXISTS) {
            return 0; // another copy runs: it shows the screens
        }
        const qelwin::GdiplusSession gdiplus; // shut down after the application object is gone
        TansuApp app;
        ::InitCommonControls();

        int argc = 0;
        const qelwin::unique_hlocal arguments(::CommandLineToArgvW(::GetCommandLineW(), &argc));
        if (!arguments) {
            return 0;
        }
        const auto* argv = static_cast<const wchar_t* const*>(arguments.get());
        if (!app.ParseCommandLine(argc, argv)) {
            return 0;
        }
        if (!app.CreateMainWindow(instance)) {
            return 0;
        }
        const int code = app.RunMessageLoop();
        // A Skip notice may still be on its way: the program ends once it is done or its bound
        // has passed, never under its thread.
        printerutil::Notices().Finish();
        return code;
    } catch (...) {
        return 0;
    }
}

} // namespace qelapp
