#include "printerutil_testing/sample_registration.h"

namespace printerutil::testing {

void SetSampleFacts(qelhttp::testing::FakeApplicationInfo& info) {
    info.languageCode = L"EN";
    info.osVersion = L"W10.0";
    info.residence = L"asia";
    info.area = L"JP";
    info.regionCode = L"C";
    info.deviceName = L"VZ Printer 500";
    info.serialNumber = L"SN0042";
    info.userAgent = L"QelRegistration/1.8.0 (W10.0)";
    info.version = L"1.8.0";
    info.launchMode = 2;
}

std::shared_ptr<stServerParam> SampleServers(const qelcloud::SimulatedCloud& cloud) {
    return std::make_shared<stServerParam>(
        stServerParam{cloud.Url(L"/gateway/capi"), cloud.Url(L"/token/a/v1/register"),
                      cloud.Url(L"/printerid/v1/printers"), L"rem", L"001"});
}

ServiceAddresses SampleServiceAddresses(const qelcloud::SimulatedCloud& cloud) {
    return {cloud.Url(L"/gateway/capi"), cloud.Url(L"/printerid/v1/printers"),
            cloud.Url(L"/token/b/v1/register"), cloud.Url(L"/token/a/v1/register")};
}

std::shared_ptr<stRegsterParam> SamplePrinter(int connectionKind) {
    return std::make_shared<stRegsterParam>(stRegsterParam{L"VZ Printer 500", L"SN0042",
                                                           L"00:1B:A9:3C:00:01", L"C", 200, 2, 0,
                                                           L"192.0.2.5", connectionKind});
}

} // namespace printerutil::testing
