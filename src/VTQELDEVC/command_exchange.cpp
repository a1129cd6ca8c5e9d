#include "command_exchange.h"

#include <algorithm>

namespace vtqeldevc {

void CommandExchange::Clear() noexcept {
    std::fill_n(request_.begin(), std::min(sent_, request_.size()), '\0');
    std::fill_n(reply_.begin(), std::min(received_ + 1, reply_.size()), '\0');
    sent_ = 0;
    received_ = 0;
}

int CommandExchange::Transact(CVTMPUCom& port) {
    int length = 0;
    const int result = port.Transact(request_.data(), static_cast<int>(sent_), reply_.data(),
                                     static_cast<int>(reply_.size()), &length);
    if (result != kTransactOk || length < 0 || static_cast<std::size_t>(length) >= reply_.size()) {
        // Whatever arrived is no reply to read; clear it all next time.
        received_ = reply_.size() - 1;
        Clear();
        return VTESDEV_PORT_FAILED;
    }
    received_ = static_cast<std::size_t>(length);
    return VTESDEV_OK;
}

} // namespace vtqeldevc
