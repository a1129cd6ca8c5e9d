// One printer registered with the simulated cloud, as the tests and the benchmark describe it:
// the application facts, the cloud addresses and the printer record.
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

} // namespace printerutil::testing
