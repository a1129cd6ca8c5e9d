// Time of one registration of each kind against the simulated cloud on loopback, without the
// waits the flows are built around (they are recorded, not waited). Prints the figures.
//   registration_bench.exe [runs]       (needs QEL_CLOUD_STATE_DIR, as under ctest)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "printerutil/register_sequence.h"
#include "qelbench/figures.h"
#include "printerutil_testing/fake_device_library.h"
#include "printerutil_testing/fake_waits.h"
#include "printerutil_testing/sample_registration.h"
#include "qelcmn/exceptions.h"

namespace {

struct Kind {
    const wchar_t* serviceKind;
    const char* label;
};

constexpr double kOverheadTargetMs = 50;

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    try {
        qelcloud::SimulatedCloud cloud;
        cloud.Reset();
        printerutil::testing::FakeDeviceLibrary library;

        qelhttp::testing::FakeApplicationInfo info;
        printerutil::testing::SetSampleFacts(info);
        const auto server = printerutil::testing::SampleServers(cloud);

        const Kind kinds[] = {{L"auto", "auto"},
                              {L"serviceA", "serviceA"},
                              {L"serviceX", "serviceX"},
                              {L"serviceY", "serviceY"}};
        std::printf("registration against the simulated cloud, %d runs a kind "
                    "(wall time less the recorded waits, ms)\n",
                    runs);
        std::printf("%-10s %8s %8s %8s %10s %6s\n", "kind", "median", "min", "max", "waits",
                    "http");
        std::vector<qelbench::Figure> figures;
        for (const Kind& kind : kinds) {
            info.serviceKind = kind.serviceKind;
            std::vector<double> own;
            std::int64_t waited = 0;
            int requests = 0;
            for (int i = 0; i < runs; ++i) {
                cloud.Reset();
                const auto printer = printerutil::testing::SamplePrinter(1);
                printerutil::testing::FakeWaits waits;
                printerutil::ScopedWaits scope(waits);
                printerutil::CancelFlag cancel{0};
                const auto start = std::chrono::steady_clock::now();
                const auto result =
                    printerutil::StartRegisterSequence(&info, &cancel, server, printer).get();
                const std::chrono::duration<double, std::milli> elapsed =
                    std::chrono::steady_clock::now() - start;
                if (result.url.empty()) {
                    std::fprintf(stderr, "%s: no page (code %d)\n", kind.label, result.code);
                    return 1;
                }
                // The fake waits take no time: what is measured is the program's and the
                // loopback servers' own time; the waits it would have made are counted apart.
                own.push_back(elapsed.count());
                waited = waits.PausedMs();
                requests = cloud.Count();
            }
            const double median = qelbench::Median(own);
            std::printf("%-10s %8.1f %8.1f %8.1f %10lld %6d\n", kind.label, median,
                        qelbench::Min(own), *std::max_element(own.begin(), own.end()),
                        static_cast<long long>(waited), requests);
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
