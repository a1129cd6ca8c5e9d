#include "device_info.h"

#include "command_exchange.h"
#include "device_results.h"
#include "record_text.h"
#include "text_convert.h"

#include <cstdint>
#include <string>

namespace vtqeldevc {

int QueryDeviceInfo(const Platform& platform, const std::wstring& folder, const wchar_t* address,
                    int portType, tagDeviceInfo* out) {
    if (address == nullptr || out == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    OwnPortExchange exchange;
    if (!exchange.Open(platform, folder, address, portType, kDevicePortIndex)) {
        return VTESDEV_FAILED;
    }
    if (const int result = exchange.Run(BuildDeviceGetCapability); result != VTESDEV_OK) {
        return result;
    }
    std::string model;
    std::string serial;
    std::string region;
    for (const int read : {ParseModel(exchange.reply(), &model),
                           ParseProductSerialNumber(exchange.reply(), &serial),
                           ParsePdr(exchange.reply(), &region)}) {
        if (read != kReplyOk) {
            return DetailToResult(read);
        }
    }
    const bool offers_qel = ParseDeviceCapability(exchange.reply());

    if (const int result = exchange.Run(BuildDeviceGetStatus); result != VTESDEV_OK) {
        return result;
    }
    std::string hardware_address;
    if (const int read = ParseNetworkInterfaces(exchange.reply(), true, &hardware_address);
        read != kReplyOk) {
        return DetailToResult(read);
    }
    CopyToField(out->model, std::wstring_view(AnsiToWide(model)));
    CopyToField(out->serialNumber, std::wstring_view(AnsiToWide(serial)));
    CopyToField(out->regionCode, std::wstring_view(AnsiToWide(region)));
    CopyToField(out->hardwareAddress, std::wstring_view(AnsiToWide(hardware_address)));

    if (const int result = exchange.Run(BuildDeviceGetConfiguration);
        result != VTESDEV_OK) {
        return result;
    }
    // A printer that does not report its agreement is no failure: the value stays 0.
    std::uint8_t agreement = 0;
    ParseWebserviceAgreement(exchange.reply(), &agreement);
    out->agreement = agreement;

    if (offers_qel) {
        // The qel question goes over the same device path, which answers it.
        if (const int result = exchange.Run(BuildQelGetCapability);
            result != VTESDEV_OK) {
            return result;
        }
        std::uint8_t kind = 0;
        const bool named = ParseQelSupportService(exchange.reply(), &kind);
        out->qelService = named ? 1 : 0;
        out->serviceKind = named ? kind : 0;
    }
    return VTESDEV_OK;
}

} // namespace vtqeldevc
