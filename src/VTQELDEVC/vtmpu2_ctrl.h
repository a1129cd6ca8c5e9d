// The port control over the newer port library vtmpu2.
#pragma once

#include "port_control.h"

#include <vtmpu2/vtmpu2_api.h>

namespace vtqeldevc {

// clang-format off
#define VTQELDEVC_PU2_ENTRIES(X) \
    X(pu2Open)                   \
    X(pu2Close)                  \
    X(pu2SetIF)                  \
    X(pu2SetIP)                  \
    X(pu2SetPrinterName)         \
    X(pu2SetUrl)                 \
    X(pu2SetTimeout)             \
    X(pu2SetMasterPortOption)    \
    X(pu2SetEventType)           \
    X(pu2SetCommandType)         \
    X(pu2SetEventBufferSize)     \
    X(pu2Write)                  \
    X(pu2Read)
// clang-format on

struct Pu2Api {
    VTQELDEVC_PU2_ENTRIES(VTQELDEVC_DECLARE_ENTRY)
    VTQELDEVC_ENTRY_VISITOR(VTQELDEVC_PU2_ENTRIES)
};

// The newer library for PortControl: port type 0 aims at a printer name, any other at a network
// address; port index 0 and 1 choose the command path. OpenPort and GetPortList have nothing to
// do for this library and give 0.
struct Vtmpu2 {
    using Api = Pu2Api;
    static constexpr const wchar_t* kFile = L"vtmpu2.dll";
    struct Channel {
        PU2_HANDLE handle = 0;
    };
};
using CVTMPU2Ctrl = PortControl<Vtmpu2>;
// Defined in this library's source; declared here so that no other file instantiates them.
template <> int CVTMPU2Ctrl::Open();
template <> int CVTMPU2Ctrl::OpenPort();
template <> int CVTMPU2Ctrl::GetPortList(std::vector<std::wstring>& ports);
template <>
int CVTMPU2Ctrl::Transact(const char* request, int requestLength, char* reply, int replyCapacity,
                          int* replyLength);
template <> int CVTMPU2Ctrl::Close() noexcept;

} // namespace vtqeldevc
