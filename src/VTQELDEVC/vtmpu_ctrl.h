// The port control over the older port library vtmpu.
#pragma once

#include "port_control.h"

#include <vtmpu/vtmpu_api.h>

namespace vtqeldevc {

// clang-format off
#define VTQELDEVC_PU_ENTRIES(X) \
    X(puOpen)                   \
    X(puOpenPort)               \
    X(puClose)                  \
    X(puDeviceID)               \
    X(puRead)                   \
    X(puWrite)                  \
    X(pulowWorkingPort)
// clang-format on

struct PuApi {
    VTQELDEVC_PU_ENTRIES(VTQELDEVC_DECLARE_ENTRY)
    VTQELDEVC_ENTRY_VISITOR(VTQELDEVC_PU_ENTRIES)
};

// The older library for PortControl: Open by printer name, OpenPort by USB port name; a failure
// of either (also when a handle is already open) unloads the port library, so later calls fail
// until LoadPortLib. Transact writes, then reads until the reply to the request's operation and
// service type arrives; replies to other requests (late answers to earlier commands) are passed
// over. The port index of SetTarget is not used by this library.
struct Vtmpu {
    using Api = PuApi;
    static constexpr const wchar_t* kFile = L"vtmpu.dll";
    struct Channel {
        PU_HANDLE handle = nullptr;
        bool by_port = false; // opened by USB port name, and so opened again that way
    };
};
using CVTMPUCtrl = PortControl<Vtmpu>;
// Defined in this library's source; declared here so that no other file instantiates them.
template <> int CVTMPUCtrl::Open();
template <> int CVTMPUCtrl::OpenPort();
template <> int CVTMPUCtrl::GetPortList(std::vector<std::wstring>& ports);
template <>
int CVTMPUCtrl::Transact(const char* request, int requestLength, char* reply, int replyCapacity,
                         int* replyLength);
template <> int CVTMPUCtrl::Close() noexcept;

// The port names of the library's port list: each name is followed by a backslash; text after
// the last backslash is no name.
std::vector<std::wstring> SplitPortList(std::wstring_view text);

} // namespace vtqeldevc
