#include "world_printer.h"

#include "oid.h"
#include "printer_oids.h"
#include "snmp_types.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace qelworld {

std::string NetAddress::Display() const {
    return ipv6 && scope != 0 ? text + "%" + std::to_string(scope) : text;
}

std::optional<NetAddress> ParseAddress(std::string_view text) {
    NetAddress out;
    std::string_view host = text;
    bool scoped = false;
    if (const auto percent = text.find('%'); percent != std::string_view::npos) {
        const std::string_view scope = text.substr(percent + 1);
        const auto [end, error] =
            std::from_chars(scope.data(), scope.data() + scope.size(), out.scope);
        if (scope.empty() || error != std::errc() || end != scope.data() + scope.size()) {
            return std::nullopt;
        }
        host = text.substr(0, percent);
        scoped = true;
    }
    if (!scoped && vtwidussim::ParseIpv4(host)) {
        out.text = std::string(host);
        return out;
    }
    if (vtwidussim::ParseIpv6(host)) {
        out.ipv6 = true;
        out.text = std::string(host);
        std::transform(out.text.begin(), out.text.end(), out.text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return out;
    }
    return std::nullopt;
}

namespace {

// The simulator's model with no hardware address of its own: a printer of the world has the
// addresses that its entry gives, so one described as wired only reports no wireless address.
printersim::PrinterModel WithoutAddresses() {
    printersim::PrinterModel m;
    for (auto& i : m.interfaces) {
        i.hwaddress.clear();
    }
    return m;
}

} // namespace

WorldPrinter::WorldPrinter(std::string printerName)
    : name(std::move(printerName)),
      model(std::make_shared<printersim::SharedPrinter>(WithoutAddresses())), responder(*model),
      usb(model) {}

bool WorldPrinter::HasQueue(std::string_view queue) const {
    return std::find(queues.begin(), queues.end(), queue) != queues.end();
}

bool WorldPrinter::HasAddress(const NetAddress& address) const {
    // IPv6 texts have many spellings of one address: compare the bytes.
    const auto bytes = [](const NetAddress& a) {
        return a.ipv6 ? vtwidussim::ParseIpv6(a.text) : vtwidussim::ParseIpv4(a.text);
    };
    const auto wanted = bytes(address);
    return wanted && std::any_of(addresses.begin(), addresses.end(), [&](const NetAddress& own) {
               return own.ipv6 == address.ipv6 && own.scope == address.scope &&
                      bytes(own) == wanted;
           });
}

void WorldPrinter::UpdateInternet() {
    const bool reaches =
        internet == Internet::Yes || (internet == Internet::WithNetwork && OnNetwork());
    model->with([&](printersim::PrinterModel& m) { m.reaches_internet = reaches; });
}

int WorldPrinter::BandBits() {
    const auto* o = usb.Find(vtwidussim::FullOid(vtwidussim::oids::kInfraBands));
    return o == nullptr
               ? 0
               : vtwidussim::DecodeSigned(o->value.bytes.data(), o->value.bytes.size()).value_or(0);
}

} // namespace qelworld
