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

inline constexpr wchar_t kVtmpu2File[] = L"vtmpu2.dll";

class CVTMPU2Ctrl final : public PortLibraryControl<Pu2Api> {
public:
    explicit CVTMPU2Ctrl(Platform platform = {});
    ~CVTMPU2Ctrl() override;

    // Port type 0 aims at a printer name, any other at a network address; port index 0 and 1
    // choose the command path.
    int Open() override;
    // Nothing to do for this library: 0.
    int OpenPort() override;
    int GetPortList(std::vector<std::wstring>& ports) override;
    int Transact(const char* request, int requestLength, char* reply, int replyCapacity,
                 int* replyLength) override;
    int Close() noexcept override;

private:
    int Write(const char* request, int length);
    int ReadReply(char* reply, int replyCapacity, int* replyLength);
    // Closes the channel after a failed exchange: failure unless the close failed too.
    int FailExchange() noexcept;

    PU2_HANDLE channel_ = 0;
};

} // namespace vtqeldevc
