#include "qelbench/printer_replay.h"

#include <windows.h>

#include <sstream>

namespace qelbench {
namespace {

constexpr int kReplyRoom = 1 << 20;
constexpr int kTimeoutSeconds = 60;

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
    : pu2_(vtqeldevc::SystemModuleLoader()), pu_(vtqeldevc::SystemModuleLoader()) {
    loaded_ = pu2_.Load(folder.c_str(), L"vtmpu2.dll") == vtqeldevc::kLibraryLoaded &&
              pu_.Load(folder.c_str(), L"vtmpu.dll") == vtqeldevc::kLibraryLoaded;
}

bool PortLibraries::Loaded() const {
    return loaded_;
}

std::optional<std::size_t> PortLibraries::Exchange(const std::wstring& address,
                                                   const std::string& usbPort,
                                                   const PrinterExchange& exchange) const {
    return exchange.port == "usb" ? OverUsb(usbPort, exchange) : OverNetwork(address, exchange);
}

std::optional<std::size_t> PortLibraries::OverNetwork(const std::wstring& address,
                                                      const PrinterExchange& exchange) const {
    const vtqeldevc::Pu2Api& pu2 = pu2_.api();
    const PU2_HANDLE channel = pu2.pu2Open();
    if (channel == 0) {
        return std::nullopt;
    }
    const wchar_t* path =
        exchange.port == "port2" ? L"/velto/ij/command2/port2" : L"/velto/ij/command2/port1";
    std::string reply(kReplyRoom, '\0');
    std::size_t total = 0;
    bool ok = pu2.pu2SetIF(channel, PU2_IF_NETWORK) == PU2_OK &&
              pu2.pu2SetIP(channel, address.c_str()) == PU2_OK &&
              pu2.pu2SetUrl(channel, path) == PU2_OK &&
              pu2.pu2SetTimeout(channel, PU2_TIMEOUT_KIND_IO, kTimeoutSeconds) == PU2_OK &&
              pu2.pu2Write(channel, exchange.request.data(),
                           static_cast<int>(exchange.request.size()), 0) == PU2_OK;
    for (int more = 1; ok && more == 1;) {
        int size = static_cast<int>(reply.size() - total);
        const int read = pu2.pu2Read(channel, reply.data() + total, &size, &more);
        if (read == PU2_NO_DATA_YET) {
            more = 1;
            continue;
        }
        ok = read == PU2_OK && size > 0;
        total += ok ? static_cast<std::size_t>(size) : 0;
    }
    pu2.pu2Close(channel);
    return ok ? std::optional<std::size_t>(total) : std::nullopt;
}

std::optional<std::size_t> PortLibraries::OverUsb(const std::string& port,
                                                  const PrinterExchange& exchange) const {
    const vtqeldevc::PuApi& pu = pu_.api();
    PU_HANDLE handle = pu.puOpenPort(port.c_str(), 0);
    if (handle == nullptr) {
        return std::nullopt;
    }
    std::string reply(kReplyRoom, '\0');
    int written = 0;
    int length = 0;
    const bool ok =
        pu.puWrite(handle, exchange.request.data(), static_cast<int>(exchange.request.size()),
                   &written, kTimeoutSeconds * 1000) != 0 &&
        pu.puRead(handle, reply.data(), static_cast<int>(reply.size()), &length,
                  kTimeoutSeconds * 1000) != 0 &&
        length > 0;
    pu.puClose(handle);
    return ok ? std::optional<std::size_t>(static_cast<std::size_t>(length)) : std::nullopt;
}

} // namespace qelbench
