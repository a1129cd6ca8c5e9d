// The network search against the simulated world: 64 printers that each take 100 ms to answer
// their capability, asked a batch at a time, and the time a search takes to return after a
// cancel from another thread. Prints the figures; passes or fails on none of them.
//   vtqeldevc_search_bench.exe [runs]      (run from the program folder, beside the stand-ins)
#include "vtesdev_lib.h"

#include "qelbench/figures.h"
#include "qelworld/qelworld_client.h"
#include "win/module_path.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kPrinters = 64;
constexpr int kAnswerMs = 100;
constexpr double kRatioTarget = 1.1;
constexpr double kCancelTargetMs = 100;

using qelbench::Median;

// answerMs 0: the printers answer at once.
std::string World(int answerMs) {
    std::string text = "[world]\nsearch-delay-ms = 0\n";
    for (int i = 0; i < kPrinters; ++i) {
        const std::string n = std::to_string(i);
        text += "[printer p" + n + "]\nmodel = VT-B" + n + "\nserial = SNB" + n + "\nipv4 = 10.0." +
                std::to_string(i / 200) + "." + std::to_string(10 + i % 200) +
                "\nqel-service = serviceA\nagreement = unknown\n";
        if (answerMs > 0) {
            text += "reply-fault = device GetCapability delay " + std::to_string(answerMs) +
                    " times always\n";
        }
    }
    return text;
}

bool Started(const qelworld::Client& world) {
    for (const std::string& line : world.Journal()) {
        if (line.rfind("VTWNSCH_OptSetting", 0) == 0) {
            return true;
        }
    }
    return false;
}

// Median wall time of runs network searches of the world's printers, in ms.
double TimeSearches(vtqeldevc::VTESDevLib& device, int runs, int& offered) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        device.SearchDevices(&offered, 0);
        times.push_back(Milliseconds(Clock::now() - start).count());
    }
    return Median(times);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const qelworld::Client world(qelwin::ThisModuleFolder());
    if (!world.Loaded() || !world.Load(World(0)).empty()) {
        std::fprintf(stderr, "the simulated world is not available\n");
        return 1;
    }
    vtqeldevc::VTESDevLib device(::GetModuleHandleW(nullptr));
    if (device.Initialize() != 0) {
        std::fprintf(stderr, "the outside libraries did not load\n");
        return 1;
    }
    const unsigned processors = std::thread::hardware_concurrency();
    const int batch = vtqeldevc::BatchSize(processors);
    const int batches = (kPrinters + batch - 1) / batch;
    const double bound = batches * static_cast<double>(kAnswerMs);

    int offered = 0;
    const double at_once = TimeSearches(device, runs, offered);
    world.Load(World(kAnswerMs));
    const double measured = TimeSearches(device, runs, offered);
    std::printf("network search of %d printers, batch %d (%u processors), median of %d runs\n",
                kPrinters, batch, processors, runs);
    std::printf("  printers answering at once: %.0f ms (the search's own work, %.1f ms a batch)\n",
                at_once, at_once / batches);
    std::printf("  printers answering after %d ms: %.0f ms, %d offered; bound ceil(%d/%d) x %d ms "
                "= %.0f ms\n",
                kAnswerMs, measured, offered, kPrinters, batch, kAnswerMs, bound);
    std::printf("  ratio measured / bound: %.3f (target <= 1.1)\n", measured / bound);

    // A search that would listen for half a minute, cancelled once it listens.
    world.Configure("", "search-delay-ms = 30000");
    std::vector<double> cancels;
    for (int i = 0; i < runs; ++i) {
        world.ClearJournal();
        std::atomic<Clock::time_point> ended{};
        auto search = std::async(std::launch::async, [&] {
            int count = 0;
            device.SearchDevices(&count, 0);
            ended = Clock::now();
        });
        while (!Started(world)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const auto cancelled = Clock::now();
        device.CancelSearch();
        search.wait();
        cancels.push_back(Milliseconds(ended.load() - cancelled).count());
    }
    std::printf("cancel from another thread to the search's return: median %.1f ms, max %.1f ms "
                "(target <= 100 ms)\n",
                Median(cancels), *std::max_element(cancels.begin(), cancels.end()));
    device.Terminate();
    world.Reset();
    qelbench::PrintFigure({"network search, 64 printers answering after 100 ms: measured / "
                           "(ceil(64/B) x 100 ms), B = " +
                               std::to_string(batch),
                           measured / bound, "", qelbench::Goal::AtMost, kRatioTarget, 4});
    qelbench::PrintFigure({"network search cancel latency", Median(cancels), "ms",
                           qelbench::Goal::AtMost, kCancelTargetMs});
    return 0;
}
