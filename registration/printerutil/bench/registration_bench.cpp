// Time of one registration of each kind through vtqeldevc.dll, printers of the simulated world
// and the simulated cloud on loopback, without the waits the flows are built around (they are
// recorded, not waited), judged against a floor measured right after each run: the same printer
// exchanges through the port libraries alone and as many plain WinHTTP exchanges of the same
// sizes with the same cloud, each in a task and a thread of its own as the program makes them, so
// that what is judged is the program's share, not the machine's speed or load. Prints the
// figures.
//   registration_bench.exe [runs [kind]]   (needs QEL_CLOUD_STATE_DIR, as under ctest)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "cloud_floor.h"
#include "printerutil/register_sequence.h"
#include "printerutil/registration_records.h"
#include "printerutil_testing/fake_waits.h"
#include "printerutil_testing/sample_registration.h"
#include "qelbench/figures.h"
#include "qelbench/printer_replay.h"
#include "qelcmn/exceptions.h"
#include "qelworld/qelworld_client.h"
#include "win/module_path.h"

namespace {

struct Kind {
    const wchar_t* serviceKind;
    int connection;
    int success; // the outcome code of a registration that went through
    const char* label;
};

// Measured here: 1.1 to 3.3 on a quiet machine, 1.1 to 1.7 beside a parallel build (the floor's
// thread starts slow down with the machine as the program's do).
constexpr double kRatioTarget = 5;

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

struct FloorTime {
    double printer = 0;
    double http = 0;
    double engine = 0; // not of the floor: the same exchanges through the program's engine
};

// The run's floor: the world loaded afresh, so the printer meets the same requests in the same
// state, and the cloud's exchanges as plain ones of the same sizes.
std::optional<FloorTime> Floor(const qelworld::Client& world, const qelbench::PortLibraries& ports,
                               qelcloud::SimulatedCloud& cloud, const std::string& printerName,
                               const std::vector<qelbench::PrinterExchange>& xml,
                               const std::vector<printerutil::bench::CloudExchange>& http) {
    if (!world.Load(printerutil::testing::kSampleWorld).empty()) {
        return std::nullopt;
    }
    const std::string ipv4 = world.Get(printerName, "ipv4");
    const std::wstring address(ipv4.begin(), ipv4.end());
    const std::string usbPort = world.Get(printerName, "usb-port");
    FloorTime floor;
    const auto start = std::chrono::steady_clock::now();
    // A reply of another size than the registration got would mean other work for the printer.
    for (const auto& exchange : xml) {
        if (ports.Exchange(address, usbPort, exchange) != exchange.replyBytes) {
            return std::nullopt;
        }
    }
    floor.printer = MsSince(start);
    floor.http = printerutil::bench::TimePlainExchanges(cloud, http);
    floor.engine = printerutil::bench::TimeEngineExchanges(cloud, http);
    if (floor.http < 0 || floor.engine < 0) {
        return std::nullopt;
    }
    return floor;
}

struct Series {
    std::vector<double> registration;
    std::vector<double> printer;
    std::vector<double> http;
    std::vector<double> floor;
    std::vector<double> ratio;
    std::vector<double> cloudWork;
    std::vector<double> engine;
    std::vector<double> rest;

    void Add(double elapsed, const FloorTime& f, double cloudMs) {
        registration.push_back(elapsed);
        printer.push_back(f.printer);
        http.push_back(f.http);
        floor.push_back(f.printer + f.http);
        ratio.push_back(elapsed / (f.printer + f.http));
        cloudWork.push_back(cloudMs);
        engine.push_back(f.engine);
        rest.push_back(elapsed - f.printer - f.engine - cloudMs);
    }
};

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    // One kind alone, without its floor: a run to profile (perf record -g -- wine ...).
    const std::string only = argc > 2 ? argv[2] : "";
    try {
        const std::wstring folder = qelwin::ThisModuleFolder();
        const qelworld::Client world(folder);
        const qelbench::PortLibraries ports(folder);
        if (!world.Loaded() || !ports.Loaded()) {
            std::fprintf(stderr,
                         "qelworld.dll or the port libraries are not beside the benchmark\n");
            return 1;
        }
        qelcloud::SimulatedCloud cloud;
        cloud.Reset();

        qelhttp::testing::FakeApplicationInfo info;
        printerutil::testing::SetSampleFacts(info);
        const auto server = printerutil::testing::SampleServers(cloud);

        using printerutil::kConnectionSearchedNetwork;
        using printerutil::kConnectionSearchedUsb;
        const Kind kinds[] = {{L"auto", kConnectionSearchedNetwork, 3, "auto"},
                              {L"serviceA", kConnectionSearchedNetwork, 4, "serviceA"},
                              {L"serviceA", kConnectionSearchedUsb, 4, "serviceA by USB"},
                              {L"serviceX", kConnectionSearchedNetwork, 5, "serviceX"},
                              {L"serviceY", kConnectionSearchedNetwork, 5, "serviceY"},
                              {L"serviceY", kConnectionSearchedUsb, 5, "serviceY by USB"}};
        std::printf("registration through vtqeldevc.dll, the simulated world and cloud, %d runs "
                    "a kind, each followed by its floor: the same printer exchanges through the "
                    "port libraries alone and as many plain WinHTTP exchanges of the same sizes "
                    "with the same cloud, each in a task and a thread of its own as the "
                    "program's (wall time less the recorded waits, ms)\n",
                    runs);
        std::printf("%-16s %6s %7s %6s %7s %6s %6s %7s %6s %6s %6s %6s %4s %4s\n", "kind", "floor",
                    "printer", "http", "median", "min", "ratio", "min/min", "cloud", "engine",
                    "rest", "waits", "xml", "http");
        std::vector<qelbench::Figure> figures;
        for (const Kind& kind : kinds) {
            if (!only.empty() && only != kind.label) {
                continue;
            }
            info.serviceKind = kind.serviceKind;
            const std::string printerName =
                printerutil::testing::SampleWorldPrinterName(kind.connection);
            Series series;
            std::int64_t waited = 0;
            std::size_t requests = 0;
            std::size_t exchanges = 0;
            for (int i = 0; i < runs; ++i) {
                // A fresh world and cloud each time: the printer holds no tokens or identity
                // from the run before.
                const std::string loaded = world.Load(printerutil::testing::kSampleWorld);
                if (!loaded.empty()) {
                    std::fprintf(stderr, "the world: %s\n", loaded.c_str());
                    return 1;
                }
                cloud.Reset();
                const auto printer = printerutil::testing::SampleWorldPrinter(kind.connection);
                printerutil::testing::FakeWaits waits;
                printerutil::ScopedWaits scope(waits);
                printerutil::CancelFlag cancel{0};
                const auto start = std::chrono::steady_clock::now();
                const auto result =
                    printerutil::StartRegisterSequence(&info, &cancel, server, printer).get();
                const double elapsed = MsSince(start);
                if (result.code != kind.success || result.url.empty()) {
                    std::fprintf(stderr, "%s: code %d, %s page\n", kind.label, result.code,
                                 result.url.empty() ? "no" : "a");
                    return 1;
                }
                // The fake waits take no time: what is measured is the program's, the printers'
                // and the loopback servers' own time; the waits it would have made are counted
                // apart.
                waited = waits.PausedMs();
                const auto xml = qelbench::RecordedExchanges(world, printerName);
                const auto http = printerutil::bench::RecordedCloudExchanges(cloud);
                exchanges = xml.size();
                requests = http.size();
                double cloudWork = 0;
                for (const auto& exchange : http) {
                    cloudWork += exchange.answerMs;
                }
                const auto floor = only.empty() ? Floor(world, ports, cloud, printerName, xml, http)
                                                : std::optional<FloorTime>(FloorTime{1, 1});
                if (!floor) {
                    std::fprintf(stderr,
                                 "%s: the floor's exchanges failed or were answered "
                                 "otherwise\n",
                                 kind.label);
                    return 1;
                }
                series.Add(elapsed, *floor, cloudWork);
            }
            // Each run against the floor measured right after it, in the same state of the
            // machine; the median of those ratios is judged.
            const double ratio = qelbench::Median(series.ratio);
            const double fastest = qelbench::Min(series.registration) / qelbench::Min(series.floor);
            std::printf("%-16s %6.1f %7.1f %6.1f %7.1f %6.1f %6.2f %7.2f %6.1f %6.1f %6.1f %6lld "
                        "%4zu %4zu\n",
                        kind.label, qelbench::Min(series.floor), qelbench::Min(series.printer),
                        qelbench::Min(series.http), qelbench::Median(series.registration),
                        qelbench::Min(series.registration), ratio, fastest,
                        qelbench::Median(series.cloudWork), qelbench::Median(series.engine),
                        qelbench::Median(series.rest), static_cast<long long>(waited), exchanges,
                        requests);
            figures.push_back({std::string("registration / its floor, ") + kind.label, ratio, "",
                               qelbench::Goal::Below, kRatioTarget, 2});
        }
        std::printf("floor = printer + http, the fastest of the runs; ratio: the median of "
                    "each run's registration / its floor; min/min: the fastest registration / "
                    "the fastest floor. Where the rest goes (medians): cloud, the simulated "
                    "cloud's own time to make its answers; engine, the same http exchanges "
                    "through the program's request engine; rest = registration - printer - "
                    "engine - cloud, the program's own steps; waits: recorded, not waited; xml, "
                    "http: the exchanges\n");
        for (const auto& figure : figures) {
            qelbench::PrintFigure(figure);
        }
        return 0;
    } catch (const qelcmn::qel_exception& e) {
        std::fprintf(stderr, "registration failed: 0x%08X\n", e.ucode());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 1;
}
