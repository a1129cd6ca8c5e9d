#include "winutil/printer_queue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(UsbPortName, UsbInAnyCaseAnywhereInTheName) {
    struct Case {
        const wchar_t* port;
        bool usb;
    };
    const Case cases[] = {
        {L"USB001", true},           {L"usb002", true}, {L"DOT4_USB003", true},
        {L"Virtual usB port", true}, {L"LPT1:", false}, {L"IP_192.168.0.7", false},
        {L"WSD-1234", false},        {L"", false},      {nullptr, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(qelwinutil::IsUsbPortName(c.port), c.usb)
            << testing::PrintToString(c.port ? c.port : L"(null)");
    }
}

// A spooler that answers for one printer the way the case says.
struct Spooler {
    bool opens = true;
    DWORD sizeAsked = 0; // what the size call reports as needed
    bool secondCallWorks = true;
    const wchar_t* port = L"USB001";
    int closed = 0;
    int opened = 0;
};
Spooler g_spooler;
int g_handle;

BOOL WINAPI FakeOpen(LPWSTR, LPHANDLE handle, LPPRINTER_DEFAULTSW) {
    if (!g_spooler.opens) {
        return FALSE;
    }
    ++g_spooler.opened;
    *handle = &g_handle;
    return TRUE;
}

BOOL WINAPI FakeGet(HANDLE, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    EXPECT_EQ(level, 2u);
    *needed = g_spooler.sizeAsked;
    if (buffer == nullptr || size < g_spooler.sizeAsked || !g_spooler.secondCallWorks) {
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    // A zeroed record whose port text lies behind it in the same buffer, as the spooler does.
    std::memset(buffer, 0, size);
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
    if (g_spooler.port != nullptr) {
        auto* text = reinterpret_cast<wchar_t*>(buffer + sizeof(PRINTER_INFO_2W));
        wcscpy(text, g_spooler.port);
        info->pPortName = text;
    }
    return TRUE;
}

BOOL WINAPI FakeClose(HANDLE handle) {
    EXPECT_EQ(handle, &g_handle);
    ++g_spooler.closed;
    return TRUE;
}

TEST(UsbPrinterQueue, EveryStepIsCheckedAndTheQueueAlwaysClosed) {
    const qelwinutil::PrinterApi fake{FakeOpen, FakeGet, FakeClose};
    const DWORD enough = sizeof(PRINTER_INFO_2W) + 64 * sizeof(wchar_t);
    struct Case {
        const char* what;
        Spooler spooler;
        bool usb;
    };
    const Case cases[] = {
        {"usb port", {true, enough, true, L"usb001"}, true},
        {"parallel port", {true, enough, true, L"LPT1:"}, false},
        {"cannot open", {false, enough, true, L"USB001"}, false},
        {"size call reports nothing", {true, 0, true, L"USB001"}, false},
        {"size smaller than the record", {true, 8, true, L"USB001"}, false},
        {"second call fails", {true, enough, false, L"USB001"}, false},
        {"no port name", {true, enough, true, nullptr}, false},
    };
    for (const auto& c : cases) {
        g_spooler = c.spooler;
        EXPECT_EQ(qelwinutil::IsUsbPrinterQueue(L"Velto Printer", fake), c.usb) << c.what;
        EXPECT_EQ(g_spooler.closed, g_spooler.opened) << c.what;
    }
}

TEST(UsbPrinterQueue, AQueueThatDoesNotExistIsNotOnUsb) {
    EXPECT_FALSE(qelwinutil::IsUsbPrinterQueue(L"No Such Printer Queue 7f3a"));
    EXPECT_FALSE(qelwinutil::IsUsbPrinterQueue(L""));
}

} // namespace
