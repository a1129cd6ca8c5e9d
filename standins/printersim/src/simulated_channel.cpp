#include "printersim/simulated_channel.h"

#include <algorithm>
#include <cstring>

namespace printersim {

namespace {
constexpr std::size_t kHostRequestCapacity = 4096;
}

int SimulatedChannel::Write(std::span<const char> request) noexcept {
    ++writes_;
    pending_ = false;
    reply_.clear();
    offset_ = 0;
    if (request.size() > kHostRequestCapacity) {
        ++oversized_writes_;
        return kFailed;
    }
    try {
        reply_ = responder_.respond(port_, std::string_view(request.data(), request.size()));
    } catch (...) {
        return kFailed;
    }
    pending_ = true;
    not_ready_left_ = behaviour_.not_ready_reads;
    return 0;
}

int SimulatedChannel::Read(std::span<char> room, std::size_t& received, bool& more) noexcept {
    received = 0;
    more = false;
    if (!pending_) {
        return kFailed;
    }
    if (not_ready_left_ > 0) {
        --not_ready_left_;
        return 1;
    }
    const std::size_t left = reply_.size() - offset_;
    const std::size_t n =
        std::min({left, room.size(), std::max<std::size_t>(1, behaviour_.piece_size)});
    if (n > 0) {
        std::memcpy(room.data(), reply_.data() + offset_, n);
    }
    offset_ += n;
    received = n;
    more = offset_ < reply_.size();
    if (!more) {
        pending_ = false;
    }
    return 0;
}

} // namespace printersim
