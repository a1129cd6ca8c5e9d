// vtmpu2.dll as a face of the simulated world: a channel reaches the printer that has its network
// address (IPv4, or IPv6 with the printer's scope) or Windows queue, on one of its two command
// paths, and the printer's XML responder answers each request. The reply is read back in pieces
// of the printer's piece size, after its "no data yet" answers and its reply delay; faults of
// the printer or the world change what an entry returns.
#include "vtmpu2/vtmpu2_api.h"

#include "face_frame.h"
#include "world_record.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace {

using namespace qelworld;
using printersim::PortPath;

constexpr int kRequestLimit = 4096;

struct Channel {
    std::string target; // address or queue name
    bool byAddress = false;
    bool targetSet = false;
    PortPath path = PortPath::Unspecified;
    // The reply being read.
    bool pending = false;
    std::string reply;
    std::size_t offset = 0;
    int noDataLeft = 0;
    ULONGLONG readyAt = 0;
    std::size_t pieceSize = 65536;

    void Start(std::string text, const PortBehaviour& behaviour) {
        pending = true;
        reply = std::move(text);
        offset = 0;
        noDataLeft = behaviour.noDataReads;
        readyAt = ::GetTickCount64() + behaviour.replyDelayMs;
        pieceSize = behaviour.pieceSize;
    }
};

class Pu2Face final : public FaceState {
public:
    std::string_view Library() const override { return "vtmpu2"; }
    void Reset() override {
        for (auto& [handle, channel] : channels) {
            channel.pending = false;
        }
    }
    int DropHandles() override {
        const int open = static_cast<int>(channels.size());
        channels.clear();
        return open;
    }

    std::map<int, Channel> channels;
    int next = 1; // handles are never given out twice, so a stale one is known as closed
};

// The frame of every entry that takes a channel: the world's lock, the channel, the fault of the
// call and a journal line with the result.
class Call {
public:
    Call(const char* entry, PU2_HANDLE handle)
        : frame_(entry), face_(frame_.world.Face<Pu2Face>()), handle_(handle) {
        frame_.Args(std::to_string(handle));
        if (handle <= 0 || handle >= face_.next) {
            status_ = PU2_ERR_PARAM;
            return;
        }
        const auto it = face_.channels.find(handle);
        if (it == face_.channels.end()) {
            status_ = PU2_ERR_CLOSED;
            return;
        }
        channel_ = &it->second;
        printer_ = Target();
        fault_ = frame_.world.Fire(printer_.get(), entry);
    }

    // The channel, or null when the handle is refused (Status tells why).
    Channel* channel() const { return channel_; }
    int Status() const { return status_; }
    const std::optional<FaceFault>& fault() const { return fault_; }
    int FaultCode() const { return fault_->code.value_or(PU2_ERR_FAILED); }
    const std::shared_ptr<WorldPrinter>& printer() const { return printer_; }
    FaceFrame& frame() { return frame_; }

    // The printer that the channel's target names now.
    std::shared_ptr<WorldPrinter> Target() const {
        if (channel_ == nullptr || !channel_->targetSet) {
            return nullptr;
        }
        return channel_->byAddress ? frame_.world.ByAddress(channel_->target)
                                   : frame_.world.ByQueue(channel_->target);
    }
    // Looks the channel up again after the lock was left.
    Channel* Refind() {
        const auto it = face_.channels.find(handle_);
        channel_ = it == face_.channels.end() ? nullptr : &it->second;
        return channel_;
    }
    Pu2Face& face() { return face_; }

private:
    FaceFrame frame_;
    Pu2Face& face_;
    PU2_HANDLE handle_;
    Channel* channel_ = nullptr;
    int status_ = PU2_OK;
    std::shared_ptr<WorldPrinter> printer_;
    std::optional<FaceFault> fault_;
};

// The entries that only check the channel and one argument.
template <typename Check> int Setter(const char* entry, PU2_HANDLE handle, Check&& check) {
    return Guarded(PU2_ERR_FAILED, [&] {
        Call call(entry, handle);
        if (call.channel() == nullptr) {
            return call.frame().Done(call.Status());
        }
        if (call.fault()) {
            return call.frame().Done(call.FaultCode());
        }
        return call.frame().Done(check(call));
    });
}

} // namespace

extern "C" {

PU2_HANDLE VTMPU2_CALL pu2Open(void) {
    return Guarded(0, [] {
        FaceFrame frame("pu2Open");
        Pu2Face& face = frame.world.Face<Pu2Face>();
        if (frame.world.Fire(nullptr, "pu2Open")) {
            return frame.Done(0);
        }
        const int handle = face.next++;
        face.channels[handle] = Channel{};
        return frame.Done(handle);
    });
}

int VTMPU2_CALL pu2Close(PU2_HANDLE handle) {
    return Guarded(PU2_ERR_FAILED, [&] {
        Call call("pu2Close", handle);
        if (call.channel() == nullptr) {
            return call.frame().Done(call.Status());
        }
        if (call.fault()) {
            return call.frame().Done(call.FaultCode()); // the channel stays open
        }
        call.face().channels.erase(handle);
        return call.frame().Done(PU2_OK);
    });
}

int VTMPU2_CALL pu2SetIF(PU2_HANDLE handle, int interfaceKind) {
    return Setter("pu2SetIF", handle, [&](Call& call) {
        call.frame().Args(std::to_string(interfaceKind));
        return interfaceKind == PU2_IF_NETWORK ? PU2_OK : PU2_ERR_PARAM;
    });
}

int VTMPU2_CALL pu2SetIP(PU2_HANDLE handle, const wchar_t* address) {
    return Setter("pu2SetIP", handle, [&](Call& call) {
        if (address == nullptr) {
            return PU2_ERR_PARAM;
        }
        const std::string text = AnsiText(address);
        call.frame().Args(text);
        if (!ParseAddress(text)) {
            return PU2_ERR_PARAM;
        }
        Channel& c = *call.channel();
        c.target = text;
        c.byAddress = true;
        c.targetSet = true;
        return PU2_OK;
    });
}

int VTMPU2_CALL pu2SetPrinterName(PU2_HANDLE handle, const wchar_t* name) {
    return Setter("pu2SetPrinterName", handle, [&](Call& call) {
        if (name == nullptr || *name == L'\0') {
            return PU2_ERR_PARAM;
        }
        Channel& c = *call.channel();
        c.target = AnsiText(name);
        c.byAddress = false;
        c.targetSet = true;
        call.frame().Args("\"" + c.target + "\"");
        return PU2_OK;
    });
}

int VTMPU2_CALL pu2SetUrl(PU2_HANDLE handle, const wchar_t* path) {
    return Setter("pu2SetUrl", handle, [&](Call& call) {
        if (path == nullptr) {
            return PU2_ERR_PARAM;
        }
        call.frame().Args(AnsiText(path));
        const PortPath port = printersim::port_path_from_url(path);
        if (port == PortPath::Unspecified) {
            return PU2_ERR_PARAM; // the printer has no such command path
        }
        call.channel()->path = port;
        return PU2_OK;
    });
}

int VTMPU2_CALL pu2SetTimeout(PU2_HANDLE handle, int kind, int seconds) {
    return Setter("pu2SetTimeout", handle, [&](Call& call) {
        call.frame().Args(std::to_string(kind) + " " + std::to_string(seconds));
        return kind == PU2_TIMEOUT_KIND_IO && seconds > 0 ? PU2_OK : PU2_ERR_PARAM;
    });
}

int VTMPU2_CALL pu2SetMasterPortOption(PU2_HANDLE handle, int option) {
    return Setter("pu2SetMasterPortOption", handle, [&](Call& call) {
        call.frame().Args(std::to_string(option));
        return PU2_OK;
    });
}

int VTMPU2_CALL pu2SetEventType(PU2_HANDLE handle, int eventType) {
    return Setter("pu2SetEventType", handle, [&](Call& call) {
        call.frame().Args(std::to_string(eventType));
        return PU2_OK;
    });
}

int VTMPU2_CALL pu2SetCommandType(PU2_HANDLE handle, int commandType) {
    return Setter("pu2SetCommandType", handle, [&](Call& call) {
        call.frame().Args(std::to_string(commandType));
        return PU2_OK;
    });
}

int VTMPU2_CALL pu2SetEventBufferSize(PU2_HANDLE handle, int size) {
    return Setter("pu2SetEventBufferSize", handle, [&](Call& call) {
        call.frame().Args(std::to_string(size));
        return PU2_OK;
    });
}

int VTMPU2_CALL pu2Write(PU2_HANDLE handle, const char* data, int length, int flags) {
    return Guarded(PU2_ERR_FAILED, [&] {
        Call call("pu2Write", handle);
        FaceFrame& frame = call.frame();
        frame.Args(std::to_string(length));
        if (call.channel() == nullptr) {
            return frame.Done(call.Status());
        }
        if (data == nullptr || length <= 0 || flags != 0 ||
            call.channel()->path == PortPath::Unspecified) {
            return frame.Done(PU2_ERR_PARAM);
        }
        // -10: the request went out, but its reply comes on the next channel to the printer.
        const bool reopen = call.fault() && call.FaultCode() == PU2_ERR_REOPEN;
        if (call.fault() && !reopen) {
            return frame.Done(call.FaultCode());
        }
        const std::shared_ptr<WorldPrinter> printer = call.printer();
        if (!printer) {
            return frame.Done(PU2_ERR_CONNECT);
        }
        if (length > kRequestLimit) {
            frame.Args("too long");
            return frame.Done(PU2_ERR_FAILED);
        }
        const PortPath path = call.channel()->path;
        const PortBehaviour behaviour = printer->port;
        std::string reply = frame.Answering(
            [&] { return printer->responder.respond(path, std::string_view(data, length)); });
        RecordLastExchange(*printer);
        if (reopen) {
            printer->parkedReplies[path] = std::move(reply);
            return frame.Done(PU2_ERR_REOPEN);
        }
        Channel* channel = call.Refind();
        if (channel == nullptr) {
            return frame.Done(PU2_ERR_CLOSED);
        }
        channel->Start(std::move(reply), behaviour);
        return frame.Done(PU2_OK);
    });
}

int VTMPU2_CALL pu2Read(PU2_HANDLE handle, char* buffer, int* size, int* more) {
    return Guarded(PU2_ERR_FAILED, [&] {
        Call call("pu2Read", handle);
        FaceFrame& frame = call.frame();
        if (size != nullptr) {
            frame.Args(std::to_string(*size));
        }
        Channel* c = call.channel();
        if (c == nullptr) {
            return frame.Done(call.Status());
        }
        if (buffer == nullptr || size == nullptr || more == nullptr || *size <= 0) {
            return frame.Done(PU2_ERR_PARAM);
        }
        if (call.fault()) {
            const int code = call.FaultCode();
            if (code == PU2_ERR_SEND || code == PU2_ERR_RECEIVE) {
                c->offset = 0; // the reply comes again from its start
            }
            if (code == PU2_NO_DATA_YET) {
                *size = 0;
                *more = 0;
            }
            return frame.Done(code);
        }
        const std::shared_ptr<WorldPrinter>& printer = call.printer();
        if (!c->pending && printer) {
            const auto parked = printer->parkedReplies.find(c->path);
            if (parked != printer->parkedReplies.end()) {
                c->Start(std::move(parked->second), printer->port);
                printer->parkedReplies.erase(parked);
            }
        }
        if (!c->pending) {
            return frame.Done(PU2_ERR_FAILED); // nothing was asked
        }
        const bool early = ::GetTickCount64() < c->readyAt;
        if (early || c->noDataLeft > 0) {
            c->noDataLeft -= early ? 0 : 1;
            *size = 0;
            *more = 0;
            return frame.Done(PU2_NO_DATA_YET);
        }
        const std::size_t n =
            std::min({static_cast<std::size_t>(*size), c->reply.size() - c->offset, c->pieceSize});
        std::memcpy(buffer, c->reply.data() + c->offset, n);
        c->offset += n;
        *size = static_cast<int>(n);
        *more = c->offset < c->reply.size() ? 1 : 0;
        c->pending = *more == 1;
        frame.Args("gave " + std::to_string(n) + (*more ? " more" : ""));
        return frame.Done(PU2_OK);
    });
}

} // extern "C"
