// What the registration and the device operations take and give back: the cloud addresses, the
// printer being registered, the identities read or created, and the outcome of one step.
#pragma once

#include <string>

namespace printerutil {

// How the printer was reached; the screens assign it.
enum ConnectionKind : int {
    kConnectionSearchedNetwork = 1, // found by the network search
    kConnectionNetwork = 2,         // a network printer, treated like 1
    kConnectionSearchedUsb = 3,     // found by the USB search
    kConnectionAddress = 4,         // given by queue name or address, not on a USB port
    kConnectionUsbQueue = 5,        // a Windows queue whose port is a USB port
};

// Port type of the device library for a connection kind: 1, 1, 3, 0, 2 for kinds 1 to 5 and
// 1 for any other.
int PortTypeOf(int connectionKind) noexcept;
bool IsUsbConnection(int connectionKind) noexcept;
bool IsKnownConnection(int connectionKind) noexcept;

// The outcome of a registration or a device step.
struct stRegSeqResult {
    int status = 0; // 0: completed
    int code = 0;   // 0: nothing done; see the result codes below
    std::wstring text;
    std::wstring url; // the page to open; empty when there is none (then nothing is opened)
};

// Result codes of stRegSeqResult.
inline constexpr int kResultNothing = 0;
inline constexpr int kResultOutOfService = 2;
inline constexpr int kResultRegisteredAuto = 3;
inline constexpr int kResultRegisteredServiceA = 4;
inline constexpr int kResultRegisteredService = 5; // serviceX and serviceY
inline constexpr int kResultAccessPointFound = 6;
inline constexpr int kResultAccessPointApplied = 7;

// The identities of the identity step: the first non-zero device result, or 0 with the
// printer's registered identity and the identity it created.
struct stPrinterIDs {
    int code = 0;
    std::wstring registeredId;
    std::wstring createdId;
};

// Where the cloud services are.
struct stServerParam {
    std::wstring gatewayAddress;   // the report's target
    std::wstring tokenAddress;     // token service
    std::wstring printerIdAddress; // printer-ID service
    std::wstring serviceCode;      // regional service: "rem", "tava" or "nqo"
    std::wstring serviceId;        // "001"
};

// The printer being registered.
struct stRegsterParam {
    std::wstring modelName;
    std::wstring serialNumber;
    std::wstring macAddress;
    std::wstring region;
    unsigned char connectivityStatus = 200; // the last connectivity test value
    unsigned char agreement = 0;            // 0 none, 1 unknown, 2 agreed, 3 disagreed
    unsigned char agreementRequest = 0;     // non-zero: tell the printer the user agreed
    std::wstring address;                   // IP address text, USB device text or queue name
    int connectionKind = 0;
};

} // namespace printerutil
