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

inline constexpr wchar_t kVtmpuFile[] = L"vtmpu.dll";

// The port names of the library's port list: each name is followed by a backslash; text after
// the last backslash is no name.
std::vector<std::wstring> SplitPortList(std::wstring_view text);

// The port index of SetTarget is not used by this library.
class CVTMPUCtrl final : public PortLibraryControl<PuApi> {
public:
    explicit CVTMPUCtrl(Platform platform = {});
    ~CVTMPUCtrl() override;

    // Open by printer name, OpenPort by USB port name. A failure (also when a handle is already
    // open) unloads the port library: later calls fail until LoadPortLib.
    int Open() override;
    int OpenPort() override;
    int GetPortList(std::vector<std::wstring>& ports) override;
    // Writes, then reads until the reply to the request's operation and service type arrives;
    // replies to other requests (late answers to earlier commands) are passed over.
    int Transact(const char* request, int requestLength, char* reply, int replyCapacity,
                 int* replyLength) override;
    int Close() noexcept override;

private:
    int OpenBy(bool by_port);
    bool Write(const char* request, int length);

    PU_HANDLE handle_ = nullptr;
    bool opened_by_port_ = false;
};

} // namespace vtqeldevc
