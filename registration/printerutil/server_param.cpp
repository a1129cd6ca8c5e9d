#include "printerutil/server_param.h"

#include <atomic>

#include "qelcmn/config_store.h"
#include "qelcmn/constants.h"
#include "qelcmn/text_utils.h"
#include "token_service_table.h"

namespace printerutil {
namespace {

// Every fourth byte of a table is a filler between runs of three text bytes.
constexpr std::size_t kRun = 3;

std::string Assemble(const detail::BuiltText& text) {
    std::string out;
    out.reserve(text.length);
    for (std::size_t i = 0; out.size() < text.length && i < sizeof text.table; ++i) {
        if (i % (kRun + 1) == kRun) {
            continue;
        }
        out.push_back(static_cast<char>(text.table[i] ^ text.key));
    }
    return out;
}

std::atomic<const ServiceAddresses*> overridden{nullptr};

} // namespace

std::string BuildEuropeTokenServiceText() {
    return Assemble(detail::kEuropeTokenService);
}

std::string BuildDefaultTokenServiceText() {
    return Assemble(detail::kDefaultTokenService);
}

ServiceAddresses ConfiguredServiceAddresses() {
    return {qelcmn::Utf8ToWide(qelcmn::GetObfuscatedString(qelcmn::kConfigGatewayBaseAddress)),
            qelcmn::Utf8ToWide(qelcmn::GetObfuscatedString(qelcmn::kConfigPrinterIdServiceAddress)),
            qelcmn::Utf8ToWide(BuildEuropeTokenServiceText()),
            qelcmn::Utf8ToWide(BuildDefaultTokenServiceText())};
}

ServiceAddresses CurrentServiceAddresses() {
    const ServiceAddresses* addresses = overridden.load();
    return addresses != nullptr ? *addresses : ConfiguredServiceAddresses();
}

ScopedServiceAddresses::ScopedServiceAddresses(ServiceAddresses addresses)
    : addresses_(std::move(addresses)), previous_(overridden.exchange(&addresses_)) {}

ScopedServiceAddresses::~ScopedServiceAddresses() {
    overridden.store(previous_);
}

std::shared_ptr<stServerParam> BuildServerParam(const std::wstring& regionCode,
                                                const std::wstring& residence,
                                                const std::wstring& area) {
    ServiceAddresses addresses = CurrentServiceAddresses();
    const bool europe = regionCode == qelcmn::RegionCode4 || regionCode == qelcmn::RegionCodeC ||
                        (regionCode.empty() && residence == qelcmn::RegionEurope);
    const bool americas = regionCode == qelcmn::RegionCode3 ||
                          (regionCode.empty() && !residence.empty() && area == qelcmn::CountryUS);
    auto server = std::make_shared<stServerParam>();
    server->gatewayAddress = std::move(addresses.gateway);
    server->printerIdAddress = std::move(addresses.printerId);
    if (europe) {
        server->serviceCode = L"rem";
        server->tokenAddress = std::move(addresses.europeTokens);
    } else if (americas) {
        server->serviceCode = L"tava";
    } else {
        server->serviceCode = L"nqo";
        server->tokenAddress = std::move(addresses.defaultTokens);
    }
    server->serviceId = L"001";
    return server;
}

} // namespace printerutil
