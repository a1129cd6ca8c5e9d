// The simulated printer behind the host library's command-channel seam: each write is one request
// to the responder, and its reply is read back in pieces.
#pragma once

#include "printersim/responder.h"

#include "command_channel.h"

#include <cstddef>
#include <string>

namespace printersim {

struct ChannelBehaviour {
    // Most bytes of the reply handed out per read.
    std::size_t piece_size = 65536;
    // Reads of each reply that answer "nothing ready yet" before the first piece.
    int not_ready_reads = 0;
};

class SimulatedChannel final : public vtqeldevc::ICommandChannel {
public:
    // Codes besides those of the seam.
    static constexpr int kFailed = -1;

    SimulatedChannel(Responder& responder, PortPath port, ChannelBehaviour behaviour = {})
        : responder_(responder), port_(port), behaviour_(behaviour) {}

    // A request longer than the host's request buffer is a fault of the host: it is not
    // answered, and the write fails.
    int Write(std::span<const char> request) noexcept override;
    int Read(std::span<char> room, std::size_t& received, bool& more) noexcept override;

    int writes() const noexcept { return writes_; }
    int oversized_writes() const noexcept { return oversized_writes_; }

private:
    Responder& responder_;
    PortPath port_;
    ChannelBehaviour behaviour_;
    std::string reply_;
    std::size_t offset_ = 0;
    bool pending_ = false;
    int not_ready_left_ = 0;
    int writes_ = 0;
    int oversized_writes_ = 0;
};

} // namespace printersim
