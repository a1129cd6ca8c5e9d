// The seam between the command protocol and whatever carries its bytes to a printer.
#pragma once

#include "waits.h"

#include <cstddef>
#include <span>

namespace vtqeldevc {

inline constexpr char kDevicePortPath[] = "/velto/ij/command2/port1";
inline constexpr char kQelPortPath[] = "/velto/ij/command2/port2";

// One request (XML text and any payload) never exceeds this many bytes.
inline constexpr std::size_t kRequestCapacity = 4096;
// A reply is read into a buffer of this size and never beyond it.
inline constexpr std::size_t kReplyCapacity = 65536;

// One open command channel to one printer, bound to one command path when it is made. It behaves
// like the port library's channel: a request goes out in a single write and the reply comes back
// in pieces.
class ICommandChannel {
public:
    virtual ~ICommandChannel() = default;

    // Sends the whole request in one write. Returns 0 when it was written.
    virtual int Write(std::span<const char> request) noexcept = 0;

    // Reads the next piece of the reply into room (never more than room.size() bytes).
    // Returns 0 with received and more set (more: further pieces follow), 1 when nothing is ready
    // yet, any other value on failure.
    virtual int Read(std::span<char> room, std::size_t& received, bool& more) noexcept = 0;
};

// Result of TransactOverChannel.
enum class TransactResult {
    ok = 0,
    null_argument = 2,
    failed = 4,
};

// Writes one request and gathers its reply pieces into reply, in order. A reply that would not fit
// reply, or a channel that keeps reporting "nothing ready" (after waits of 0, 10, 100 and then 1000
// ms, at most 13 times; an empty piece with more to follow counts as such), fails. sleep defaults
// to the system's Sleep.
TransactResult TransactOverChannel(ICommandChannel& channel, std::span<const char> request,
                                   std::span<char> reply, std::size_t& received,
                                   const SleepMilliseconds& sleep = {});

} // namespace vtqeldevc
