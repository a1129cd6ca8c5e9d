// The printer list's state and work, apart from its window: the printers the last search found,
// whether the user has accepted the service agreement, the search, the registration of the chosen
// printer and the service page. The dialog (PrinterListDialog) only passes its messages on.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <vector>

#include "printerutil/device_data.h"
#include "printerutil/device_starters.h"
#include "qelinfo/ApplicationInfo.h"
#include "ui/TextLibrary.h"
#include "ui/dialog_view_model.h"
#include "ui/system.h"

namespace qelprinterlist {

// The application's icons that the list's window shows (16 x 16 and 48 x 48).
struct WindowIcons {
    HICON small = nullptr;
    HICON large = nullptr;
};

// What the dialog passes as the origin of a command.
inline constexpr int kCommandFromDialog = 1;

class PrinterListVM final : public qelui::DspDialogVMBase {
public:
    using PrinterList = std::vector<std::shared_ptr<printerutil::stDeviceData>>;

    // Registrations run on the application's own facts; boxes and pages go through the system.
    // Nothing when the object cannot be made.
    static std::unique_ptr<PrinterListVM> Create(qelinfo::ApplicationInfo* facts,
                                                 const qelui::TextLibrary* texts,
                                                 qelui::ISystem& system,
                                                 WindowIcons icons = {}) noexcept;

    // Puts back the window's own icons if a dialog is still attached.
    ~PrinterListVM() override;
    PrinterListVM(const PrinterListVM&) = delete;
    PrinterListVM& operator=(const PrinterListVM&) = delete;

    bool Initialize() override { return true; }
    // Takes the dialog and gives it the application's icons.
    void Attach(HWND dialog) override;
    // Gives the window its own icons back and keeps where it stood.
    void Detach() override;
    // The list (IDC_PRINTER_LIST) asks for a search. Always 0.
    int OnNotify(int controlId) override;
    // Register and About the service; 1 when the command was handled. Nothing a command raises
    // leaves here: the screen stays open.
    int OnCommand(int controlId, int origin, int reserved1, int reserved2) override;
    RECT* GetSavedRect(RECT* out) override;

    // Searches the network and USB under the search progress dialog and lists what it found. A
    // search that fails keeps the printers of the last one; when there are none the user is told
    // and Register and About the service are disabled.
    void SearchPrinters();

    // Registers the printer of that row under the status progress dialog and opens the page the
    // gateway gave; a USB printer without the Internet is first helped onto a network. 1 when the
    // screen may close (the registration went through), 0 when it stays open.
    int RegisterPrinter(int row);

    // Opens the service information page, for the printer of that row when there is one.
    void OpenServiceInfo(int row);

    // Starts the printer search (by default the device library's search of the network and USB).
    using SearchStarter = std::function<std::future<PrinterList>()>;
    void SetSearchStarter(SearchStarter start) { startSearch_ = std::move(start); }

    const PrinterList& Printers() const noexcept { return printers_; }
    bool Agreed() const noexcept { return agreed_ != 0; }

private:
    PrinterListVM(qelinfo::ApplicationInfo* facts, const qelui::TextLibrary* texts,
                  qelui::ISystem& system, WindowIcons icons) noexcept
        : facts_(facts), texts_(texts), system_(system), icons_(icons),
          startSearch_(printerutil::StartEnumPrinters) {}

    int Register();
    // What follows a failed registration of that row: a box, or the Wi-Fi recovery of a USB
    // printer and a new registration. The new registration's result, else 0.
    int AfterFailure(int row, const printerutil::stDeviceData& printer,
                     const std::exception_ptr& failure);
    const qelui::TextLibrary& Texts() const noexcept;
    void RestoreIcons() noexcept;
    HWND List() const noexcept;
    int ShowBox(int textId, UINT style) const;

    HWND dialog_ = nullptr;
    RECT savedRect_{};
    qelinfo::ApplicationInfo* facts_;
    const qelui::TextLibrary* texts_;
    HICON previousBigIcon_ = nullptr;
    HICON previousSmallIcon_ = nullptr;
    PrinterList printers_;
    int agreed_ = 0;
    qelui::ISystem& system_;
    WindowIcons icons_;
    SearchStarter startSearch_;
};

} // namespace qelprinterlist
