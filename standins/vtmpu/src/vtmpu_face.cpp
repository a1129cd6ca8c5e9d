// vtmpu.dll as a face of the simulated world: a handle reaches the printer behind a Windows queue
// or on a USB port, every request is answered by the printer's XML responder (a USB port serves
// both command paths) and the replies queue up on the handle in order, so a reply that the
// caller did not wait for (a "stale" fault) is read before the one it waits for. The port list
// names the USB ports of the printers plugged in.
#include "vtmpu/vtmpu_api.h"

#include "face_frame.h"
#include "world_record.h"
#include "printersim/protocol_tables.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>

namespace {

using namespace qelworld;

constexpr int kRequestLimit = 4096;

struct Port {
    std::string name;
    bool byUsbPort = false;
    std::deque<std::string> replies;
    int emptyReadsLeft = 0;
    ULONGLONG readyAt = 0;
};

class PuFace final : public FaceState {
public:
    std::string_view Library() const override { return "vtmpu"; }
    void Reset() override {
        for (auto& [number, port] : ports) {
            port.replies.clear();
        }
    }
    int DropHandles() override {
        const int open = static_cast<int>(ports.size());
        ports.clear();
        return open;
    }

    // Handles are numbers dressed as pointers, never given out twice.
    std::map<std::uintptr_t, Port> ports;
    std::uintptr_t next = 1;
};

PU_HANDLE HandleOf(std::uintptr_t number) {
    return reinterpret_cast<PU_HANDLE>(0x5A000000u + number * 16);
}
std::uintptr_t NumberOf(PU_HANDLE handle) {
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    return value > 0x5A000000u && (value - 0x5A000000u) % 16 == 0 ? (value - 0x5A000000u) / 16 : 0;
}
std::string Shown(PU_HANDLE handle) {
    return handle == nullptr ? "null" : "#" + std::to_string(NumberOf(handle));
}

std::shared_ptr<WorldPrinter> PrinterOf(World& world, const Port& port) {
    return port.byUsbPort ? world.ByUsbPort(port.name) : world.ByQueue(port.name);
}

// A reply to a request that nobody sends now, for a printer that has answered nothing yet.
std::string MadeUpStaleReply() {
    const auto& t = printersim::shared_tables();
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><cmd xmlns:ivec=\"" +
           printersim::common_namespace(t) + "\" xmlns:vvt=\"" + printersim::vendor_namespace(t) +
           "\"><ivec:contents><ivec:operation>GetStatusResponse</ivec:operation>"
           "<ivec:param_set servicetype=\"device\"><ivec:response>OK</ivec:response>"
           "<ivec:response_detail></ivec:response_detail></ivec:param_set></ivec:contents></cmd>";
}

PU_HANDLE Open(const char* entry, const char* name, bool byUsbPort) {
    return Guarded<PU_HANDLE>(nullptr, [&] {
        FaceFrame frame(entry);
        PuFace& face = frame.world.Face<PuFace>();
        if (name == nullptr || *name == '\0') {
            return frame.Done<PU_HANDLE>(nullptr, "null");
        }
        frame.Args("\"" + std::string(name) + "\"");
        Port port{name, byUsbPort, {}, 0, 0};
        const auto printer = PrinterOf(frame.world, port);
        if (frame.world.Fire(printer.get(), entry) || !printer) {
            return frame.Done<PU_HANDLE>(nullptr, "null");
        }
        const std::uintptr_t number = face.next++;
        face.ports.emplace(number, std::move(port));
        return frame.Done(HandleOf(number), Shown(HandleOf(number)));
    });
}

// The frame of an entry that takes a handle: the port (null for an unknown handle), its printer
// and the fault of the call.
struct Call {
    Call(const char* entry, PU_HANDLE handle)
        : frame(entry), face(frame.world.Face<PuFace>()), number(NumberOf(handle)) {
        frame.Args(Shown(handle));
        const auto it = face.ports.find(number);
        if (it != face.ports.end()) {
            port = &it->second;
            printer = PrinterOf(frame.world, *port);
            fault = frame.world.Fire(printer.get(), entry);
        }
    }
    int Done(bool ok) { return frame.Done(ok ? 1 : 0); }

    FaceFrame frame;
    PuFace& face;
    std::uintptr_t number;
    Port* port = nullptr;
    std::shared_ptr<WorldPrinter> printer;
    std::optional<FaceFault> fault;
};

} // namespace

extern "C" {

PU_HANDLE VTMPU_CALL puOpen(const char* printerName, int /*flags*/) {
    return Open("puOpen", printerName, false);
}

PU_HANDLE VTMPU_CALL puOpenPort(const char* portName, int /*flags*/) {
    return Open("puOpenPort", portName, true);
}

int VTMPU_CALL puClose(PU_HANDLE handle) {
    return Guarded(0, [&] {
        Call call("puClose", handle);
        if (call.port == nullptr || call.fault) {
            return call.Done(false);
        }
        call.face.ports.erase(call.number);
        return call.Done(true);
    });
}

int VTMPU_CALL puDeviceID(PU_HANDLE handle, char* buffer, int capacity, int* length) {
    return Guarded(0, [&] {
        Call call("puDeviceID", handle);
        if (call.port == nullptr || call.fault || !call.printer || buffer == nullptr ||
            length == nullptr) {
            return call.Done(false);
        }
        const std::string id = DeviceId(*call.printer);
        if (capacity <= static_cast<int>(id.size())) {
            return call.Done(false);
        }
        std::memcpy(buffer, id.c_str(), id.size() + 1);
        *length = static_cast<int>(id.size());
        return call.Done(true);
    });
}

int VTMPU_CALL puWrite(PU_HANDLE handle, const char* data, int length, int* written,
                       int timeoutMs) {
    return Guarded(0, [&] {
        Call call("puWrite", handle);
        call.frame.Args(std::to_string(length) + " " + std::to_string(timeoutMs));
        if (call.port == nullptr || data == nullptr || length <= 0 || written == nullptr ||
            length > kRequestLimit) {
            return call.Done(false);
        }
        const bool stale = call.fault && call.fault->action == "stale";
        if ((call.fault && !stale) || !call.printer) {
            return call.Done(false); // not sent: the printer is gone, or the write failed
        }
        const std::shared_ptr<WorldPrinter> printer = call.printer;
        const PortBehaviour behaviour = printer->port;
        std::string reply = call.frame.Answering([&] {
            return printer->responder.respond(printersim::PortPath::Unspecified,
                                              std::string_view(data, length));
        });
        RecordLastExchange(*printer);
        const auto it = call.face.ports.find(call.number);
        if (it == call.face.ports.end()) {
            return call.Done(false);
        }
        Port& port = it->second;
        if (stale) {
            port.replies.push_back(printer->lastVtmpuReply.empty() ? MadeUpStaleReply()
                                                                   : printer->lastVtmpuReply);
        }
        printer->lastVtmpuReply = reply;
        port.replies.push_back(std::move(reply));
        port.emptyReadsLeft = behaviour.noDataReads;
        port.readyAt = ::GetTickCount64() + behaviour.replyDelayMs;
        *written = length;
        return call.Done(true);
    });
}

int VTMPU_CALL puRead(PU_HANDLE handle, char* buffer, int capacity, int* length, int timeoutMs) {
    return Guarded(0, [&] {
        Call call("puRead", handle);
        call.frame.Args(std::to_string(capacity) + " " + std::to_string(timeoutMs));
        if (call.port == nullptr || buffer == nullptr || capacity <= 0 || length == nullptr) {
            return call.Done(false);
        }
        Port& port = *call.port;
        if (call.fault) {
            if (call.fault->action == "empty") {
                *length = 0;
                return call.Done(true);
            }
            if (call.fault->action == "fail-close") {
                call.face.ports.erase(call.number);
            }
            return call.Done(false);
        }
        const bool waiting = port.replies.empty() || ::GetTickCount64() < port.readyAt;
        if (waiting || port.emptyReadsLeft > 0) {
            port.emptyReadsLeft -= waiting ? 0 : 1;
            *length = 0; // nothing came in time
            return call.Done(true);
        }
        std::string& head = port.replies.front();
        const std::size_t n = std::min(head.size(), static_cast<std::size_t>(capacity));
        std::memcpy(buffer, head.data(), n);
        if (n < head.size()) {
            head.erase(0, n);
        } else {
            port.replies.pop_front();
        }
        *length = static_cast<int>(n);
        call.frame.Args("gave " + std::to_string(n));
        return call.Done(true);
    });
}

int VTMPU_CALL pulowWorkingPort(char* buffer, int capacity, int* count) {
    return Guarded(0, [&] {
        FaceFrame frame("pulowWorkingPort");
        frame.Args(std::to_string(capacity));
        if (buffer == nullptr || capacity <= 0 || count == nullptr) {
            return frame.Done(0);
        }
        const auto fault = frame.world.Fire(nullptr, "pulowWorkingPort");
        std::vector<std::string> ports = frame.world.WorkingUsbPorts();
        if (fault && fault->action == "fail") {
            return frame.Done(0);
        }
        if (fault && fault->action == "none") {
            ports.clear();
        }
        std::string text;
        for (const std::string& p : ports) {
            text += p + "\\";
        }
        if (fault && fault->action == "no-trailing-backslash" && !text.empty()) {
            text.pop_back();
        }
        if (text.size() + 1 > static_cast<std::size_t>(capacity)) {
            return frame.Done(0);
        }
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        *count = static_cast<int>(ports.size());
        frame.Args("\"" + text + "\"");
        return frame.Done(1);
    });
}

} // extern "C"
