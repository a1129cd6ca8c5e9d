// Time of one registration of each kind through vtqeldevc.dll, printers of the simulated world
// and the simulated cloud on loopback, without the waits the flows are built around (they are
// recorded, not waited). Prints the figures.
//   registration_bench.exe [runs]       (needs QEL_CLOUD_STATE_DIR, as under ctest)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "printerutil/register_sequence.h"
#include "printerutil/registration_records.h"
#include "printerutil_testing/fake_waits.h"
#include "printerutil_testing/sample_registration.h"
#include "qelbench/figures.h"
#include "qelcmn/exceptions.h"
#include "qelworld/qelworld_client.h"

namespace {

struct Kind {
    const wchar_t* serviceKind;
    int connection;
    int success; // the outcome code of a registration that went through
    const char* label;
};

constexpr double kOverheadTargetMs = 50;

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    try {
        const qelworld::Client world(qelwin::ThisModuleFolder());
        if (!world.Loaded()) {
            std::fprintf(stderr, "qelworld.dll is not beside the benchmark\n");
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
                    "a kind (wall time less the recorded waits, ms)\n",
                    runs);
        std::printf("%-16s %8s %8s %8s %10s %6s %8s\n", "kind", "median", "min", "max", "waits",
                    "http", "printer");
        std::vector<qelbench::Figure> figures;
        for (const Kind& kind : kinds) {
            info.serviceKind = kind.serviceKind;
            const std::string printerName =
                printerutil::testing::SampleWorldPrinterName(kind.connection);
            std::vector<double> own;
            std::int64_t waited = 0;
            int requests = 0;
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
                const std::chrono::duration<double, std::milli> elapsed =
                    std::chrono::steady_clock::now() - start;
                if (result.code != kind.success || result.url.empty()) {
                    std::fprintf(stderr, "%s: code %d, %s page\n", kind.label, result.code,
                                 result.url.empty() ? "no" : "a");
                    return 1;
                }
                // The fake waits take no time: what is measured is the program's, the printers'
                // and the loopback servers' own time; the waits it would have made are counted
                // apart.
                own.push_back(elapsed.count());
                waited = waits.PausedMs();
                requests = cloud.Count();
                exchanges = world.Lines(printerName, "exchanges").size();
            }
            const double median = qelbench::Median(own);
            std::printf("%-16s %8.1f %8.1f %8.1f %10lld %6d %8zu\n", kind.label, median,
                        qelbench::Min(own), *std::max_element(own.begin(), own.end()),
                        static_cast<long long>(waited), requests, exchanges);
            figures.push_back({std::string("registration overhead, ") + kind.label, median, "ms",
                               qelbench::Goal::Below, kOverheadTargetMs});
        }
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
