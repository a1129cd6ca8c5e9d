// Whether a Windows printer queue prints through a USB port.
#pragma once

#include <windows.h>

#include <winspool.h>

#include <string>

namespace qelwinutil {

// The spooler calls the test needs, replaceable so tests can answer for a printer.
struct PrinterApi {
    decltype(::OpenPrinterW)* openPrinter = ::OpenPrinterW;
    decltype(::GetPrinterW)* getPrinter = ::GetPrinterW;
    decltype(::ClosePrinter)* closePrinter = ::ClosePrinter;
};

// True when the port name contains "USB" in any letter case.
bool IsUsbPortName(const wchar_t* portName) noexcept;

// True when the queue exists and its port (PRINTER_INFO_2W) is a USB port. A queue that cannot
// be opened or read, or that names no port, is not on USB.
bool IsUsbPrinterQueue(const std::wstring& printerName, const PrinterApi& api = {}) noexcept;

} // namespace qelwinutil
