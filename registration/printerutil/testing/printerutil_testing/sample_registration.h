// One printer registered with the simulated cloud, as the tests and the benchmark describe it:
// the application facts, the cloud addresses and the printer record, for the scripted device
// library and as printers of the simulated world.
#pragma once

#include <memory>

#include "fake_application_info.h"
#include "printerutil/registration_records.h"
#include "printerutil/server_param.h"
#include "simulated_cloud.h"

namespace printerutil::testing {

// English, "asia"/"JP", printer region "C" (the "rem" service), device "VZ Printer 500",
// serial "SN0042", version "1.8.0", started by a registration screen (launch mode 2).
void SetSampleFacts(qelhttp::testing::FakeApplicationInfo& info);

// The simulated cloud's gateway, token and printer-ID addresses, service "rem", id "001".
std::shared_ptr<stServerParam> SampleServers(const qelcloud::SimulatedCloud& cloud);

// Every service of the program at the simulated cloud, for a ScopedServiceAddresses.
ServiceAddresses SampleServiceAddresses(const qelcloud::SimulatedCloud& cloud);

// The sample printer at 192.0.2.5, agreed, reached as the connection kind says.
std::shared_ptr<stRegsterParam> SamplePrinter(int connectionKind);

// The sample printer as two printers of the simulated world that support the qel service, hold
// a registered and an unregistered identity, name the next identity they create and pass their
// connectivity test: "office" on the network (192.168.1.31, queue "Office Queue") and "desk" on
// USB (port USB001, queue "Desk Queue").
extern const char kSampleWorld[];
// The world printer a connection kind reaches: desk for the USB kinds, office for the others.
const char* SampleWorldPrinterName(int connectionKind);
// Its record, agreed, with the address of that kind: the IP address (kinds 1 and 2), the USB port
// (3), the queue (4 and 5).
std::shared_ptr<stRegsterParam> SampleWorldPrinter(int connectionKind);

} // namespace printerutil::testing
