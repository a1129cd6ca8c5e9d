// Time from starting QelRegistration.exe (no arguments: its error box comes at once) to its first
// visible window, less the same time of a program that only shows a box; and the program's working
// set while that window is up. Runs the two in turn, answers each box and prints the medians. The
// figures less the box-only program are the medians of each round's difference, so that a load
// of the machine that comes and goes touches both sides of a difference alike. A third program
// shows the same box with the program's resources: its manifest asks for the themed common
// controls, which the box then uses, so the working set beyond it is the program's own share.
//   qelapp_start_bench.exe [runs]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "qelbench/figures.h"
#include "testkit/child_process.h"
#include "testkit/windows.h"
#include "win/module_path.h"

namespace {

using namespace std::chrono_literals;

constexpr double kStartTargetMs = 300;
constexpr double kBeyondThemedTargetMb = 3;
constexpr double kMb = 1024.0 * 1024.0;

struct Start {
    double toWindowMs = 0;
    double workingSetMb = 0;
    double peakWorkingSetMb = 0;
};

struct Series {
    std::vector<double> toWindowMs;
    std::vector<double> workingSetMb;
    std::vector<double> peakWorkingSetMb;

    void Add(const Start& start) {
        toWindowMs.push_back(start.toWindowMs);
        workingSetMb.push_back(start.workingSetMb);
        peakWorkingSetMb.push_back(start.peakWorkingSetMb);
    }
};

// One start: the time to the first visible window, the memory then; the box is answered and the
// program must end by itself, so that the next start finds no copy still running.
std::optional<Start> StartOnce(const std::wstring& program) {
    const auto begin = std::chrono::steady_clock::now();
    qeltest::ChildProcess child(program, {}, 60s);
    if (!child.Started()) {
        std::fprintf(stderr, "%ls did not start (%lu)\n", program.c_str(), ::GetLastError());
        return std::nullopt;
    }
    HWND window = qeltest::WaitForWindow(child.Id(), child.Handle(), L"", 30s, 1ms);
    const std::chrono::duration<double, std::milli> toWindow =
        std::chrono::steady_clock::now() - begin;
    if (window == nullptr) {
        std::fprintf(stderr, "%ls showed no window\n", program.c_str());
        return std::nullopt;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    if (!::GetProcessMemoryInfo(child.Handle(), &memory, sizeof(memory))) {
        std::fprintf(stderr, "no memory figures of %ls (%lu)\n", program.c_str(), ::GetLastError());
        return std::nullopt;
    }
    qeltest::PressButton(window, IDOK);
    if (!child.WaitForExit(30s)) {
        std::fprintf(stderr, "%ls did not end after its box was answered\n", program.c_str());
        return std::nullopt;
    }
    return Start{toWindow.count(), static_cast<double>(memory.WorkingSetSize) / kMb,
                 static_cast<double>(memory.PeakWorkingSetSize) / kMb};
}

void PrintRow(const char* what, const Series& series) {
    std::printf("%-22s %10.1f %10.1f %10.1f %10.1f %10.1f\n", what,
                qelbench::Median(series.toWindowMs), qelbench::Min(series.toWindowMs),
                *std::max_element(series.toWindowMs.begin(), series.toWindowMs.end()),
                qelbench::Median(series.workingSetMb), qelbench::Median(series.peakWorkingSetMb));
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    const std::wstring folder = qelwin::ThisModuleFolder();
    const std::wstring program = qelwin::JoinPath(folder, L"QelRegistration.exe");
    const std::wstring baseline = qelwin::JoinPath(folder, L"qelbench_trivial_window.exe");
    const std::wstring themed = qelwin::JoinPath(folder, L"qelbench_themed_window.exe");

    // One start of each first, not counted: the first start after the prefix came up reads every
    // library from disk.
    Series programRuns;
    Series baselineRuns;
    Series themedRuns;
    std::vector<double> ownStartMs;
    std::vector<double> ownMemoryMb;
    std::vector<double> beyondThemedMb;
    for (int i = 0; i <= runs; ++i) {
        const auto baselineStart = StartOnce(baseline);
        const auto themedStart = StartOnce(themed);
        const auto programStart = StartOnce(program);
        if (!baselineStart || !themedStart || !programStart) {
            return 1;
        }
        if (i > 0) {
            baselineRuns.Add(*baselineStart);
            themedRuns.Add(*themedStart);
            programRuns.Add(*programStart);
            ownStartMs.push_back(programStart->toWindowMs - baselineStart->toWindowMs);
            ownMemoryMb.push_back(programStart->workingSetMb - baselineStart->workingSetMb);
            beyondThemedMb.push_back(programStart->workingSetMb - themedStart->workingSetMb);
        }
    }

    std::printf("start to first window, %d runs each in turn (ms); working set then (MB)\n", runs);
    std::printf("%-22s %10s %10s %10s %10s %10s\n", "program", "median", "min", "max", "working",
                "peak");
    PrintRow("QelRegistration.exe", programRuns);
    PrintRow("a box only (Wine)", baselineRuns);
    PrintRow("box + program manifest", themedRuns);

    qelbench::PrintFigure({"start to first window, less Wine's start of a box",
                           qelbench::Median(ownStartMs), "ms", qelbench::Goal::Below,
                           kStartTargetMs});
    // Wine's own floor (a box alone, the themed common controls) differs between machines and
    // versions: the target is the program's share beyond the themed box of the same run.
    qelbench::PrintFigure({"working set with the first window up",
                           qelbench::Median(programRuns.workingSetMb), "MB", qelbench::Goal::None});
    qelbench::PrintFigure({"working set beyond a box-only program under Wine",
                           qelbench::Median(ownMemoryMb), "MB", qelbench::Goal::None});
    qelbench::PrintFigure({"working set beyond the box with the program's resources (themed)",
                           qelbench::Median(beyondThemedMb), "MB", qelbench::Goal::Below,
                           kBeyondThemedTargetMb});
    return 0;
}
