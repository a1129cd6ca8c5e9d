// The application object: owns what the screens share and drives the hidden window through
// which the program moves from one screen or flow to the next.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>

#include "app/CommandLineOptions.h"
#include "printerlist/printer_list_vm.h"
#include "printerutil/device_operations.h"
#include "qelinfo/ApplicationInfo.h"
#include "ui/TextLibrary.h"
#include "ui/system.h"

namespace qelapp {

inline constexpr wchar_t kWindowClassName[] = L"TansuApp";
inline constexpr wchar_t kSingleInstanceMutexName[] = L"{3CD3164D-3D28-41E1-9158-6250F7BC8973}";

class TansuApp {
public:
    // Builds the facts and empty options and becomes the process-wide application object. The
    // flows reach the system through the given one (the program's own when none is given).
    explicit TansuApp(qelui::ISystem* system = nullptr);
    // Shuts down in reverse order of start-up: the printer list, the UI texts, the options, then
    // the facts.
    ~TansuApp();
    TansuApp(const TansuApp&) = delete;
    TansuApp& operator=(const TansuApp&) = delete;

    bool ParseCommandLine(int argc, const wchar_t* const* argv) noexcept;

    // Registers the window class, loads the icons and creates the hidden window, which then
    // receives the first application message. False when the window cannot be made.
    bool CreateMainWindow(HINSTANCE instance) noexcept;

    // Runs until the hidden window is gone; returns the exit code.
    int RunMessageLoop() noexcept;

    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE Instance() const noexcept { return instance_; }
    HICON LargeIcon() const noexcept { return largeIcon_; }
    HICON SmallIcon() const noexcept { return smallIcon_; }
    qelinfo::ApplicationInfo& Facts() noexcept { return facts_; }
    CommandLineOptions& Options() noexcept { return *options_; }
    qelui::TextLibrary& Texts() noexcept { return texts_; }
    qelui::ISystem& System() noexcept { return system_; }

    // True when the installer recorded that the user agreed to send information
    // ("SEND_INFO_AGREE" 1) for the device of the facts, below its sub-key subKeyName.
    bool FindSendInfoAgree(const std::wstring& subKeyName);

    // Fixes the launch facts for the printer being handled (the device name and language from
    // the command line, the facts' residence, area and launch mode) and stores what the
    // invitation screen shows for it. False when there is nothing to show for this printer and
    // user, or when anything failed on the way. Without a printer: (true, true, "", "", 0).
    bool PrepareInviteContent(bool qelServiceOffered, bool agreementKnown,
                              const std::wstring& regionCode, const std::wstring& serialNumber,
                              unsigned char serviceType);

    // Register the first printer of the list (the one the flow looked up at the command line's
    // address) after PrepareInviteContent for it, under the status progress dialog over the
    // hidden window; nothing without an address or a printer.
    // The installer's: asks the printer to record the agreement when the installer recorded it,
    // registers as an installer start, keeps the page for a later "-OB" start after "-REG2"
    // (then without any window) and opens it otherwise; every failure ends it silently.
    void RegisterPreplyDevice(HWND window, const printerutil::DeviceList& printers);
    // The launcher's: opens the page; a retry later shows box 11009, any other failure but a
    // cancel or a USB outcome box 11003. No Wi-Fi recovery.
    void RegisterHDDevice(HWND window, const printerutil::DeviceList& printers);

private:
    LRESULT OnStartDispatch(HWND window);
    LRESULT OnStartMessage(HWND window, WPARAM wParam);

    // The flows. Each ends the run with WM_CLOSE (the launcher's page starts through the page
    // handler) and lets nothing escape: the installer's stay silent, the others show box 11003.
    LRESULT OnPrinterList(HWND window);
    LRESULT OnInstallerFlow(HWND window);
    LRESULT OnAgreement(HWND window);
    LRESULT OnServicePage(HWND window, UINT message);
    LRESULT OnLauncherFlow(HWND window);

    void RunInstallerFlow(HWND window);
    // The message that ends the launcher's flow.
    UINT RunLauncherFlow(HWND window);
    // "-OB": opens the installer's page for the device with the kept page appended.
    void ReopenKeptPage();
    // The failure box of the launcher and the service pages; never raises.
    void ShowFlowFailure(HWND window) noexcept;

    // The printer at the command line's address (none or one): under the search progress dialog
    // over the hidden window, or waited for without any window.
    printerutil::DeviceList LookUpPrinter(HWND window, bool withDialog);
    // PrepareInviteContent for the looked-up printer, or for no printer.
    bool PrepareInviteContentFor(const printerutil::DeviceList& printers);
    // The invitation screen for the looked-up printer (none: nothing to register there).
    void ShowInvitation(const printerutil::DeviceList& printers);
    // The caption of the flows' progress dialogs: none for the installer, 11401 for the launcher.
    std::wstring ProgressCaption(bool installer) const;

    // The registration both flows run; the page the gateway returned.
    std::wstring RegisterFlowPrinter(HWND window, const printerutil::stDeviceData& printer,
                                     bool installer);

    qelui::ISystem& system_;
    HINSTANCE instance_ = nullptr;
    HICON largeIcon_ = nullptr; // shared resource icons: never destroyed
    HICON smallIcon_ = nullptr;
    qelinfo::ApplicationInfo facts_;
    std::unique_ptr<CommandLineOptions> options_;
    qelui::TextLibrary texts_;
    // Made by the first printer list and kept to the end of the run (the agreement given there
    // holds for the whole run); let go first at shutdown.
    std::unique_ptr<qelprinterlist::PrinterListVM> printerList_;
};

// The box the launcher's registration shows for the failure it ended with: 11009 for a retry
// later, none (0) for a cancel or a USB outcome, 11003 for any other failure.
int LauncherFailureText(const std::exception_ptr& failure) noexcept;

// The whole run of the program: single instance, start-up, the flow, shutdown. Always 0.
int RunApplication(HINSTANCE instance) noexcept;

} // namespace qelapp
