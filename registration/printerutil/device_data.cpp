#include "printerutil/device_data.h"

namespace printerutil {

void CopyDeviceInfo(const tagDeviceInfo& record, stDeviceData& data) {
    data.modelName = FieldText(record.model);
    data.serialNumber = FieldText(record.serialNumber);
    data.address = FieldText(record.address);
    data.regionCode = FieldText(record.regionCode);
    data.qelSupport = record.qelService;
    data.macAddress = FieldText(record.hardwareAddress);
    data.agreement = record.agreement;
    data.connection = record.connection;
    data.serviceKind = record.serviceKind;
}

std::wstring MaskString(const std::wstring& text) {
    constexpr std::size_t kShown = 5;
    if (text.size() <= kShown) {
        return {};
    }
    std::wstring masked(text.size() - kShown, L'*');
    masked.append(text, text.size() - kShown, kShown);
    return masked;
}

} // namespace printerutil
