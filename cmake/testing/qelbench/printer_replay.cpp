#include "qelbench/printer_replay.h"

#include <windows.h>

#include <sstream>

#include "win/module_path.h"

namespace qelbench {
namespace {

constexpr int kReplyRoom = 1 << 20;
constexpr int kTimeoutSeconds = 60;

template <typename Fn> bool Bind(HMODULE module, Fn& slot, const char* name) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return slot != nullptr;
}

int HexDigit(char c) {
    return c <= '9' ? c - '0' : c - 'a' + 10;
}

} // namespace

std::vector<PrinterExchange> RecordedExchanges(const qelworld::Client& world,
                                               const std::string& printer) {
    std::vector<PrinterExchange> exchanges;
    for (const std::string& line : world.Lines(printer, "requests")) {
        std::istringstream in(line);
        PrinterExchange exchange;
        std::string hex;
        in >> exchange.port >> exchange.replyBytes >> hex;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
            exchange.request += static_cast<char>(HexDigit(hex[i]) * 16 + HexDigit(hex[i + 1]));
        }
        exchanges.push_back(std::move(exchange));
    }
    return exchanges;
}

PortLibraries::PortLibraries(const std::wstring& folder)
    : pu2_(::LoadLibraryW(qelwin::JoinPath(folder, L"vtmpu2.dll").c_str())),
      pu_(::LoadLibraryW(qelwin::JoinPath(folder, L"vtmpu.dll").c_str())) {
    if (!Bind(pu2_.get(), pu2Open_, "pu2Open") || !Bind(pu2_.get(), pu2Close_, "pu2Close") ||
        !Bind(pu2_.get(), pu2SetIF_, "pu2SetIF") || !Bind(pu2_.get(), pu2SetIP_, "pu2SetIP") ||
        !Bind(pu2_.get(), pu2SetUrl_, "pu2SetUrl") ||
        !Bind(pu2_.get(), pu2SetTimeout_, "pu2SetTimeout") ||
        !Bind(pu2_.get(), pu2Write_, "pu2Write") || !Bind(pu2_.get(), pu2Read_, "pu2Read") ||
        !Bind(pu_.get(), puOpenPort_, "puOpenPort") || !Bind(pu_.get(), puClose_, "puClose") ||
        !Bind(pu_.get(), puWrite_, "puWrite") || !Bind(pu_.get(), puRead_, "puRead")) {
        pu2Open_ = nullptr;
    }
}

bool PortLibraries::Loaded() const {
    return pu2Open_ != nullptr;
}

std::optional<std::size_t> PortLibraries::Exchange(const std::wstring& address,
                                                   const std::string& usbPort,
                                                   const PrinterExchange& exchange) const {
    return exchange.port == "usb" ? OverUsb(usbPort, exchange) : OverNetwork(address, exchange);
}

std::optional<std::size_t> PortLibraries::OverNetwork(const std::wstring& address,
                                                      const PrinterExchange& exchange) const {
    const PU2_HANDLE channel = pu2Open_();
    if (channel == 0) {
        return std::nullopt;
    }
    const wchar_t* path =
        exchange.port == "port2" ? L"/velto/ij/command2/port2" : L"/velto/ij/command2/port1";
    std::string reply(kReplyRoom, '\0');
    std::size_t total = 0;
    bool ok =
        pu2SetIF_(channel, PU2_IF_NETWORK) == PU2_OK &&
        pu2SetIP_(channel, address.c_str()) == PU2_OK && pu2SetUrl_(channel, path) == PU2_OK &&
        pu2SetTimeout_(channel, PU2_TIMEOUT_KIND_IO, kTimeoutSeconds) == PU2_OK &&
        pu2Write_(channel, exchange.request.data(), static_cast<int>(exchange.request.size()), 0) ==
            PU2_OK;
    for (int more = 1; ok && more == 1;) {
        int size = static_cast<int>(reply.size() - total);
        const int read = pu2Read_(channel, reply.data() + total, &size, &more);
        if (read == PU2_NO_DATA_YET) {
            more = 1;
            continue;
        }
        ok = read == PU2_OK && size > 0;
        total += ok ? static_cast<std::size_t>(size) : 0;
    }
    pu2Close_(channel);
    return ok ? std::optional<std::size_t>(total) : std::nullopt;
}

std::optional<std::size_t> PortLibraries::OverUsb(const std::string& port,
                                                  const PrinterExchange& exchange) const {
    PU_HANDLE handle = puOpenPort_(port.c_str(), 0);
    if (handle == nullptr) {
        return std::nullopt;
    }
    std::string reply(kReplyRoom, '\0');
    int written = 0;
    int length = 0;
    const bool ok =
        puWrite_(handle, exchange.request.data(), static_cast<int>(exchange.request.size()),
                 &written, kTimeoutSeconds * 1000) != 0 &&
        puRead_(handle, reply.data(), static_cast<int>(reply.size()), &length,
                kTimeoutSeconds * 1000) != 0 &&
        length > 0;
    puClose_(handle);
    return ok ? std::optional<std::size_t>(static_cast<std::size_t>(length)) : std::nullopt;
}

} // namespace qelbench
