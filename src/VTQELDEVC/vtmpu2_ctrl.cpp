#include "vtmpu2_ctrl.h"

namespace vtqeldevc {
namespace {

constexpr int kWrites = 4;
constexpr int kReadAttempts = 4;
constexpr unsigned kRetryWaitMs = 1000;
constexpr int kTimeoutSeconds = 60;

const wchar_t* CommandPath(int portIndex) noexcept {
    switch (portIndex) {
    case kDevicePortIndex:
        return L"/velto/ij/command2/port1";
    case kQelPortIndex:
        return L"/velto/ij/command2/port2";
    default:
        return nullptr;
    }
}

bool Transient(int result) noexcept {
    return result == PU2_ERR_BUSY || result == PU2_ERR_TIMEOUT || result == PU2_ERR_SEND ||
           result == PU2_ERR_RECEIVE;
}

int Write(const Pu2Api& api, PU2_HANDLE channel, const char* request, int length) {
    if (api.pu2Write == nullptr || channel == 0) {
        return PU2_ERR_CLOSED;
    }
    return api.pu2Write(channel, request, length, 0);
}

// Reads the reply into reply, up to four attempts; false when the exchange failed.
bool ReadReply(const Pu2Api& api, PU2_HANDLE channel, const Platform& platform, char* reply,
               int replyCapacity, int* replyLength) {
    // The last byte stays for the terminator, so the reply is always text.
    const int room = replyCapacity - 1;
    // Counted over the whole exchange: a printer that keeps answering "not yet" ends it.
    int no_data = 0;
    for (int attempt = 1; attempt <= kReadAttempts; ++attempt) {
        int total = 0;
        *replyLength = 0;
        reply[0] = '\0';
        for (;;) {
            int size = room - total;
            const int offered = size;
            int more = 0;
            const int read = api.pu2Read != nullptr && channel != 0
                                 ? api.pu2Read(channel, reply + total, &size, &more)
                                 : PU2_ERR_CLOSED;
            // An empty piece that promises more is no progress: it counts as "not yet".
            if (read == PU2_NO_DATA_YET || (read == PU2_OK && size == 0 && more == 1)) {
                if (++no_data > kMaxNoDataYet) {
                    return false;
                }
                platform.Wait(NoDataYetWait(no_data));
                continue;
            }
            if (read == PU2_ERR_SEND || read == PU2_ERR_RECEIVE) {
                if (attempt < kReadAttempts) {
                    platform.Wait(kRetryWaitMs);
                }
                break;
            }
            if (read != PU2_OK || size < 0 || size > offered) {
                return false;
            }
            total += size;
            reply[total] = '\0';
            *replyLength = total;
            if (more != 1) {
                return true;
            }
            if (total == room) {
                // More is coming than the reply can hold: what arrived is not the whole reply.
                return false;
            }
        }
    }
    return false;
}

} // namespace

template <> int CVTMPU2Ctrl::Open() {
    const Pu2Api& api = entries();
    const wchar_t* path = CommandPath(port_index_);
    if (api.pu2Open == nullptr || channel_.handle != 0 || path == nullptr) {
        return 1;
    }
    const PU2_HANDLE channel = api.pu2Open();
    if (channel == 0) {
        return 1;
    }
    const bool ready =
        api.pu2SetIF(channel, PU2_IF_NETWORK) == PU2_OK &&
        (port_type_ != 0 ? api.pu2SetIP(channel, target_.c_str())
                         : api.pu2SetPrinterName(channel, target_.c_str())) == PU2_OK &&
        api.pu2SetUrl(channel, path) == PU2_OK &&
        api.pu2SetTimeout(channel, PU2_TIMEOUT_KIND_IO, kTimeoutSeconds) == PU2_OK;
    if (!ready) {
        api.pu2Close(channel);
        return 1;
    }
    channel_.handle = channel;
    return 0;
}

template <> int CVTMPU2Ctrl::OpenPort() {
    return 0;
}

template <> int CVTMPU2Ctrl::GetPortList(std::vector<std::wstring>&) {
    return 0;
}

template <> int CVTMPU2Ctrl::Close() noexcept {
    const Pu2Api& api = entries();
    if (api.pu2Close == nullptr || channel_.handle == 0) {
        return 1;
    }
    const int closed = api.pu2Close(std::exchange(channel_.handle, 0));
    return closed == PU2_OK ? 0 : 1;
}

template <>
int CVTMPU2Ctrl::Transact(const char* request, int requestLength, char* reply, int replyCapacity,
                          int* replyLength) {
    // A reply needs room for at least one byte and its terminator.
    if (request == nullptr || reply == nullptr || replyLength == nullptr || requestLength < 0 ||
        replyCapacity < 2) {
        return kTransactNullArgument;
    }
    *replyLength = 0;
    reply[0] = '\0';
    for (int write = 1;; ++write) {
        const int written = Write(entries(), channel_.handle, request, requestLength);
        if (written == PU2_OK) {
            break;
        }
        if (Close() != 0) {
            return kTransactCloseFailed;
        }
        if (Transient(written)) {
            if (write == kWrites) {
                return written == PU2_ERR_TIMEOUT ? kTransactTimedOut : kTransactFailed;
            }
            platform_.Wait(kRetryWaitMs);
            if (const int opened = Open(); opened != 0) {
                return opened;
            }
            continue;
        }
        if (written == PU2_ERR_REOPEN) {
            // The library asked for a new channel; the request already went out on the old one.
            if (const int opened = Open(); opened != 0) {
                return opened;
            }
            break;
        }
        return kTransactFailed;
    }
    if (ReadReply(entries(), channel_.handle, platform_, reply, replyCapacity, replyLength)) {
        return kTransactOk;
    }
    // The channel is closed after a failed exchange: failure unless the close failed too.
    return Close() == 0 ? kTransactFailed : kTransactCloseFailed;
}

} // namespace vtqeldevc
