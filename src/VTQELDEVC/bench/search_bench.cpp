// The network search against the simulated world: 64 printers that each take 100 ms to answer
// their capability, asked a batch at a time, judged against a floor measured right after each
// search: the same exchanges of every printer through the port library alone, a batch of
// printers at a time side by side; and the time a search takes to return after a cancel from
// another thread. Prints the figures; passes or fails on none of them.
//   vtqeldevc_search_bench.exe [runs]      (run from the program folder, beside the stand-ins)
#include "vtesdev_lib.h"

#include "qelbench/figures.h"
#include "qelbench/printer_replay.h"
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
constexpr double kRatioTarget = 1.15;
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

// The search's floor: what each printer was asked in the search just made, asked again in a
// freshly loaded world by batch threads side by side, each printer by one of them in turn (thread
// t asks printers t, t + batch, ...); the time in ms, negative when an exchange failed.
double TimeFloor(const qelworld::Client& world, const qelbench::PortLibraries& ports, int batch) {
    std::vector<std::vector<qelbench::PrinterExchange>> asked;
    std::vector<std::wstring> addresses;
    for (int i = 0; i < kPrinters; ++i) {
        const std::string name = "p" + std::to_string(i);
        asked.push_back(qelbench::RecordedExchanges(world, name));
        const std::string ipv4 = world.Get(name, "ipv4");
        addresses.emplace_back(ipv4.begin(), ipv4.end());
    }
    world.Load(World(kAnswerMs));
    std::atomic<bool> failed{false};
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int t = 0; t < batch; ++t) {
        threads.emplace_back([&, t] {
            for (std::size_t i = static_cast<std::size_t>(t); i < asked.size();
                 i += static_cast<std::size_t>(batch)) {
                for (const auto& exchange : asked[i]) {
                    failed = failed || !ports.Exchange(addresses[i], "", exchange);
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const double took = Milliseconds(Clock::now() - start).count();
    return failed ? -1 : took;
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

    const qelbench::PortLibraries ports(qelwin::ThisModuleFolder());
    if (!ports.Loaded()) {
        std::fprintf(stderr, "the port libraries did not load\n");
        return 1;
    }
    int offered = 0;
    const double at_once = TimeSearches(device, runs, offered);
    std::vector<double> searches;
    std::vector<double> floors;
    std::vector<double> ratios;
    for (int i = 0; i < runs; ++i) {
        world.Load(World(kAnswerMs));
        searches.push_back(TimeSearches(device, 1, offered));
        floors.push_back(TimeFloor(world, ports, batch));
        if (floors.back() <= 0) {
            std::fprintf(stderr, "the floor's exchanges failed\n");
            return 1;
        }
        ratios.push_back(searches.back() / floors.back());
    }
    const double measured = Median(searches);
    const double ratio = Median(ratios);
    std::printf("network search of %d printers, batch %d (%u processors), median of %d runs\n",
                kPrinters, batch, processors, runs);
    std::printf("printers answering at once: %.0f ms (the search's own work, %.1f ms a batch)\n",
                at_once, at_once / batches);
    std::printf("printers answering after %d ms: %.0f ms (min %.0f), %d offered; bound "
                "ceil(%d/%d) x %d ms = %.0f ms, %.3f of it\n",
                kAnswerMs, measured, qelbench::Min(searches), offered, kPrinters, batch, kAnswerMs,
                bound, measured / bound);
    std::printf("floor, the same exchanges through the port library alone, %d printers at a "
                "time: %.0f ms (min %.0f); search / floor %.3f (target <= %.2f)\n",
                batch, Median(floors), qelbench::Min(floors), ratio, kRatioTarget);

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
    qelbench::PrintFigure({"network search, 64 printers answering after 100 ms, B = " +
                               std::to_string(batch) + " at a time: search / its floor",
                           ratio, "", qelbench::Goal::AtMost, kRatioTarget, 3});
    qelbench::PrintFigure({"network search cancel latency", Median(cancels), "ms",
                           qelbench::Goal::AtMost, kCancelTargetMs});
    return 0;
}
