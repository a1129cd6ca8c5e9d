#include "printerutil_testing/sample_registration.h"

#include "printerutil/registration_records.h"

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

const char kSampleWorld[] = R"(
[printer office]
model = VZ Printer 500
serial = SN0042
region = C
wireless-mac = 00:1B:A9:3C:00:01
ipv4 = 192.168.1.31
queue = Office Queue
qel-service = serviceA
agreement = unknown
registered-id = VTP-REG-0001
unregistered-id = VTP-OLD-0002
next-printer-id = VTP-0001-AAAA-0001
connectivity-test = success

[printer desk]
model = VZ Printer 500
serial = SN0043
region = C
wireless-mac = 00:1B:A9:3C:00:02
usb-port = USB001
queue = Desk Queue
qel-service = serviceA
agreement = unknown
registered-id = VTP-DESK-0001
unregistered-id = VTP-OLD-0003
next-printer-id = VTP-0002-BBBB-0002
connectivity-test = success
)";

const char* SampleWorldPrinterName(int connectionKind) {
    return IsUsbConnection(connectionKind) ? "desk" : "office";
}

std::shared_ptr<stRegsterParam> SampleWorldPrinter(int connectionKind) {
    const bool usb = IsUsbConnection(connectionKind);
    const wchar_t* address = L"192.168.1.31";
    if (connectionKind == kConnectionSearchedUsb) {
        address = L"USB001";
    } else if (connectionKind == kConnectionUsbQueue) {
        address = L"Desk Queue";
    } else if (connectionKind == kConnectionAddress) {
        address = L"Office Queue";
    }
    return std::make_shared<stRegsterParam>(
        stRegsterParam{L"VZ Printer 500", usb ? L"SN0043" : L"SN0042",
                       usb ? L"00:1B:A9:3C:00:02" : L"00:1B:A9:3C:00:01", L"C", 200, 2, 0, address,
                       connectionKind});
}

} // namespace printerutil::testing
