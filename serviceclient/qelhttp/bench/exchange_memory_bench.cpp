// Memory that the process keeps from cloud exchanges, made as the registration makes them: a
// fresh printer-ID client for each request, signed, posted to the simulated cloud and its answer
// read. Prints the growth of committed private bytes over the exchanges after a warm-up; passes
// or fails on nothing.
//   qelhttp_memory_bench.exe [exchanges]    (with QEL_CLOUD_STATE_DIR naming a running cloud)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "qelbench/figures.h"
#include "qelbench/memory_kept.h"
#include "qelhttp/printer_id_client.h"
#include "simulated_cloud.h"

namespace {

constexpr int kWarmUp = 10;
constexpr double kTargetMb = 1;

// One exchange; false when it did not bring the printer's identities.
bool Exchange(const std::wstring& address) {
    qelhttp::PrinterIDClient client;
    return !client.RequestPrinterID(address, {L"SN0042", L"00:1B:A9:3C:00:01", L"VT-X100", L"1"})
                .tempPrinterId.empty();
}

} // namespace

int main(int argc, char** argv) {
    const int exchanges = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    try {
        qelcloud::SimulatedCloud cloud;
        const std::wstring address = cloud.Url(L"/printerid/v1/printers");
        // The cloud's records of the exchanges are its own memory, not the program's.
        return qelbench::ReportMemoryKept(kWarmUp, exchanges, "exchange",
                                          "printer-ID exchanges (each with a fresh client)",
                                          kTargetMb, [&] { return Exchange(address); })
                   ? 0
                   : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "no simulated cloud: %s\n", e.what());
        return 1;
    } catch (...) {
        std::fprintf(stderr, "an exchange failed\n");
        return 1;
    }
}
