#include "vtmpu_ctrl.h"

#include "command_xml.h"
#include "text_convert.h"

#include <array>
#include <string_view>

namespace vtqeldevc {
namespace {

constexpr int kWrites = 4;
constexpr unsigned kWriteRetryWaitMs = 2000;
constexpr int kReads = 600;
constexpr unsigned kReadIntervalMs = 100;
constexpr int kIoTimeoutMs = 2000;

struct Operation {
    std::string name;
    std::string service_type;
};

Operation ReadOperation(std::string_view document) {
    Operation operation;
    GetResponseOperation(document, &operation.name, &operation.service_type);
    return operation;
}

// Opens channel by printer name or by USB port name unless one is open; false when none was.
bool OpenChannel(const PuApi& api, Vtmpu::Channel& channel, const std::wstring& target,
                 bool by_port) {
    const auto open = by_port ? api.puOpenPort : api.puOpen;
    if (open == nullptr || channel.handle != nullptr) {
        return false;
    }
    const std::string name = WideToAnsi(target);
    PU_HANDLE handle = open(name.c_str(), 0);
    if (handle == nullptr) {
        return false;
    }
    channel = {handle, by_port};
    return true;
}

bool Write(const PuApi& api, const Vtmpu::Channel& channel, const char* request, int length) {
    int written = 0;
    return api.puWrite != nullptr && channel.handle != nullptr &&
           api.puWrite(channel.handle, request, length, &written, kIoTimeoutMs) != 0;
}

} // namespace

std::vector<std::wstring> SplitPortList(std::wstring_view text) {
    std::vector<std::wstring> ports;
    for (std::size_t slash = text.find(L'\\'); slash != std::wstring_view::npos;
         slash = text.find(L'\\')) {
        ports.emplace_back(text.substr(0, slash));
        text.remove_prefix(slash + 1);
    }
    return ports;
}

template <> int CVTMPUCtrl::Open() {
    if (OpenChannel(entries(), channel_, target_, false)) {
        return 0;
    }
    UnloadPortLib();
    return 1;
}

template <> int CVTMPUCtrl::OpenPort() {
    if (OpenChannel(entries(), channel_, target_, true)) {
        return 0;
    }
    UnloadPortLib();
    return 1;
}

template <> int CVTMPUCtrl::Close() noexcept {
    const PuApi& api = entries();
    if (api.puClose == nullptr || channel_.handle == nullptr) {
        return 1;
    }
    return api.puClose(std::exchange(channel_.handle, nullptr)) != 0 ? 0 : 1;
}

template <> int CVTMPUCtrl::GetPortList(std::vector<std::wstring>& ports) {
    ports.clear();
    const PuApi& api = entries();
    std::array<char, PU_PORT_LIST_BYTES> buffer{};
    int count = 0;
    if (api.pulowWorkingPort == nullptr ||
        api.pulowWorkingPort(buffer.data(), static_cast<int>(buffer.size()), &count) == 0 ||
        count <= 0) {
        UnloadPortLib();
        return 1;
    }
    // The library's text is read as text only up to the end of the buffer.
    buffer.back() = '\0';
    ports = SplitPortList(AnsiToWide(buffer.data()));
    return 0;
}

template <>
int CVTMPUCtrl::Transact(const char* request, int requestLength, char* reply, int replyCapacity,
                         int* replyLength) {
    if (request == nullptr || reply == nullptr || replyLength == nullptr || requestLength < 0 ||
        replyCapacity < 2) {
        return kTransactNullArgument;
    }
    *replyLength = 0;
    reply[0] = '\0';
    const Operation sent = ReadOperation(std::string_view(request, requestLength));
    if (sent.name.empty()) {
        // No reply could ever be recognised as its answer.
        return kTransactFailed;
    }
    const std::string expected = sent.name + "Response";

    for (int write = 1; !Write(entries(), channel_, request, requestLength); ++write) {
        if (Close() != 0 || write == kWrites) {
            return kTransactFailed;
        }
        platform_.Wait(kWriteRetryWaitMs);
        // The same way as before: a USB port is opened by its port name again.
        if ((channel_.by_port ? OpenPort() : Open()) != 0) {
            return kTransactFailed;
        }
    }

    const PuApi& api = entries();
    for (int read = 1; read <= kReads; ++read) {
        if (read > 1) {
            platform_.Wait(kReadIntervalMs);
        }
        int length = 0;
        const bool ok =
            api.puRead != nullptr && channel_.handle != nullptr &&
            api.puRead(channel_.handle, reply, replyCapacity, &length, kIoTimeoutMs) != 0;
        // A read that filled the whole buffer leaves no room for the terminator and may have
        // been cut: it is no reply to use.
        if (!ok || length < 0 || length >= replyCapacity) {
            Close();
            *replyLength = 0;
            reply[0] = '\0';
            return kTransactFailed;
        }
        reply[length] = '\0';
        *replyLength = length;
        const Operation answered = ReadOperation(std::string_view(reply, length));
        if (answered.name == expected && answered.service_type == sent.service_type) {
            return kTransactOk;
        }
    }
    return kTransactFailed;
}

} // namespace vtqeldevc
