#include "printerlist/registration_input.h"

#include "kivutil/kiv_url_params.h"
#include "qelhttp/gateway_texts.h"

namespace qelprinterlist {

namespace {

// A connectivity status that reports nothing: the page is no registration.
constexpr unsigned char kNoConnectivityResult = 200;

} // namespace

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

std::wstring ServicePageAddress(qelinfo::IApplicationInfo& facts, const std::wstring& gatewayBase,
                                unsigned int function) {
    KIVURLParams params;
    kivutil::KIVServerURLParamBuilder().Build(params, function,
                                              {&facts, kNoConnectivityResult, L"", L""});
    return qelhttp::BuildKIVQuery(gatewayBase, params);
}

} // namespace qelprinterlist
