#include "winutil/printer_queue.h"

#include <cwctype>
#include <vector>

namespace qelwinutil {

namespace {

class PrinterHandle {
public:
    PrinterHandle(HANDLE handle, const PrinterApi& api) noexcept : handle_(handle), api_(api) {}
    ~PrinterHandle() {
        if (handle_ != nullptr) {
            api_.closePrinter(handle_);
        }
    }
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    HANDLE get() const noexcept { return handle_; }

private:
    HANDLE handle_;
    const PrinterApi& api_;
};

} // namespace

bool IsUsbPortName(const wchar_t* portName) noexcept {
    if (portName == nullptr) {
        return false;
    }
    std::wstring upper(portName);
    for (wchar_t& c : upper) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return upper.find(L"USB") != std::wstring::npos;
}

bool IsUsbPrinterQueue(const std::wstring& printerName, const PrinterApi& api) noexcept {
    try {
        HANDLE opened = nullptr;
        std::wstring name = printerName;
        if (!api.openPrinter(name.data(), &opened, nullptr) || opened == nullptr) {
            return false;
        }
        const PrinterHandle printer(opened, api);
        DWORD needed = 0;
        // The first call only asks for the size, so it reports failure by design.
        api.getPrinter(printer.get(), 2, nullptr, 0, &needed);
        if (needed < sizeof(PRINTER_INFO_2W)) {
            return false;
        }
        // PRINTER_INFO_2W holds pointers: keep the buffer aligned for them.
        std::vector<PRINTER_INFO_2W> buffer((needed + sizeof(PRINTER_INFO_2W) - 1) /
                                            sizeof(PRINTER_INFO_2W));
        const auto bytes = static_cast<DWORD>(buffer.size() * sizeof(PRINTER_INFO_2W));
        if (!api.getPrinter(printer.get(), 2, reinterpret_cast<BYTE*>(buffer.data()), bytes,
                            &needed)) {
            return false;
        }
        return IsUsbPortName(buffer.front().pPortName);
    } catch (...) {
        return false;
    }
}

} // namespace qelwinutil
