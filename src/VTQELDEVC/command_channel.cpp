#include "command_channel.h"

namespace vtqeldevc {

TransactResult TransactOverChannel(ICommandChannel& channel, std::span<const char> request,
                                   std::span<char> reply, std::size_t& received,
                                   const SleepMilliseconds& sleep) {
    received = 0;
    if (request.data() == nullptr || request.empty() || reply.data() == nullptr) {
        return TransactResult::null_argument;
    }
    if (channel.Write(request) != 0) {
        return TransactResult::failed;
    }
    int not_ready = 0;
    while (true) {
        const std::span<char> room = reply.subspan(received);
        if (room.empty()) {
            // The reply does not fit; what arrived is not a whole reply.
            return TransactResult::failed;
        }
        std::size_t piece = 0;
        bool more = false;
        const int result = channel.Read(room, piece, more);
        // A piece of nothing that promises more is no progress either: it counts as "nothing
        // ready", so a channel that keeps doing so cannot hold the exchange for ever.
        if (result == 1 || (result == 0 && piece == 0 && more)) {
            if (++not_ready > kMaxNoDataYet) {
                return TransactResult::failed;
            }
            Wait(sleep, NoDataYetWait(not_ready));
            continue;
        }
        if (result != 0 || piece > room.size()) {
            return TransactResult::failed;
        }
        received += piece;
        if (!more) {
            return TransactResult::ok;
        }
    }
}

} // namespace vtqeldevc
