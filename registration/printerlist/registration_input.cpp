#include "printerlist/registration_input.h"

namespace qelprinterlist {

int SearchedConnectionKind(const printerutil::stDeviceData& printer) noexcept {
    return printer.connection.kind != VTESDEV_CONNECTION_NETWORK
               ? printerutil::kConnectionSearchedUsb
               : printerutil::kConnectionSearchedNetwork;
}

std::shared_ptr<printerutil::stRegsterParam>
BuildRegisterParam(const printerutil::stDeviceData& printer) {
    auto param = std::make_shared<printerutil::stRegsterParam>();
    param->modelName = printer.modelName;
    param->serialNumber = printer.serialNumber;
    param->connectionKind = SearchedConnectionKind(printer);
    param->address = param->connectionKind == printerutil::kConnectionSearchedUsb
                         ? printerutil::FieldText(printer.connection.portName)
                         : printer.address;
    param->macAddress = printer.macAddress;
    param->region = printer.regionCode;
    param->agreement = printer.agreement;
    param->agreementRequest = 1;
    return param;
}

void SetRegistrationContext(qelinfo::ApplicationInfo& facts,
                            const printerutil::stDeviceData& printer) {
    const std::wstring language = facts.GetLanguageCode();
    facts.SetLaunchContext(printer.qelSupport != 0, printer.agreement != 0, printer.modelName,
                           printer.serialNumber, language, L"", L"", printer.regionCode,
                           printer.serviceKind, facts.GetLaunchMode());
}

void SetServiceInfoContext(qelinfo::ApplicationInfo& facts,
                           const printerutil::stDeviceData& printer) {
    const std::wstring language = facts.GetLanguageCode();
    const std::wstring residence = facts.GetResidence();
    const std::wstring area = facts.GetArea();
    facts.SetLaunchContext(printer.qelSupport != 0, printer.agreement != 0, printer.modelName, L"",
                           language, residence, area, printer.regionCode, printer.serviceKind,
                           facts.GetLaunchMode());
}

} // namespace qelprinterlist
