// One command exchange over a port control: the request built into its 4096-byte buffer (with
// the encrypted payload of ReceiveData behind the XML), the reply read into its own buffer. The
// buffers belong to one caller, so callers on different threads never share them.
#pragma once

#include "command_channel.h"
#include "port_control.h"
#include "replies.h"
#include "requests.h"

#include <vtqeldevc/vtqeldevc.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace vtqeldevc {

class CommandExchange {
public:
    CommandExchange() = default;
    CommandExchange(const CommandExchange&) = delete;
    CommandExchange& operator=(const CommandExchange&) = delete;

    // Builds the request with build(output, &length), appends payload and exchanges both over
    // port. VTESDEV_OK; VTESDEV_FAILED when the request was not built or the payload does not fit
    // behind it (nothing is sent then); VTESDEV_PORT_FAILED when the exchange failed.
    template <typename Build>
    int Run(CVTMPUCom& port, Build&& build, std::span<const std::uint8_t> payload = {}) {
        Clear();
        std::size_t length = 0;
        if (build(std::span<char>(request_), &length) != kBuildOk ||
            AppendReceiveDataPayload(request_, length, payload, &sent_) != kBuildOk) {
            sent_ = request_.size();
            return VTESDEV_FAILED;
        }
        return Transact(port);
    }

    // The reply of the last exchange that succeeded (empty after a failure).
    Reply reply() const noexcept { return {reply_.data(), received_}; }

private:
    int Transact(CVTMPUCom& port);
    // Both buffers are zeroed over what the last exchange used.
    void Clear() noexcept;

    std::vector<char> request_ = std::vector<char>(kRequestCapacity);
    // A whole reply of kReplyCapacity bytes fits, with the terminator the port control adds.
    std::vector<char> reply_ = std::vector<char>(kReplyCapacity + 1);
    std::size_t sent_ = 0;
    std::size_t received_ = 0;
};

// The exchanges of one call over a port control of the call's own (OpenOwnPort), closed and
// unloaded with the object.
class OwnPortExchange {
public:
    // False when the library or the port could not be opened.
    bool Open(const Platform& platform, const std::wstring& folder, const wchar_t* target,
              int portType, int portIndex) {
        port_ = OpenOwnPort(platform, folder, target, portType, portIndex);
        return port_ != nullptr;
    }
    // As CommandExchange::Run on the open port.
    template <typename Build> int Run(Build&& build) {
        return exchange_.Run(*port_, std::forward<Build>(build));
    }
    Reply reply() const noexcept { return exchange_.reply(); }

private:
    std::unique_ptr<CVTMPUCom> port_;
    CommandExchange exchange_;
};

} // namespace vtqeldevc
