// The hostile-world run: each flow of the real program, run out of process against the simulated
// world and cloud, once without faults (which gives the steps) and then once per fault of the
// catalogue at every step it fits. Prints every case with its outcome and the counts.
//   qelhostile_run.exe --gtest_filter=HostileRun.<scenario>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "hostile/case_list.h"
#include "hostile/fault_catalogue.h"
#include "hostile/verdict.h"
#include "resource.h"
#include "simulated_cloud.h"
#include "testkit/program_driver.h"
#include "ui/text_ids.h"
#include "win/module_path.h"
#include "winutil/registry_values.h"

namespace {

using namespace qelhostile;
using namespace std::chrono_literals;

// Longer than the slowest sound case: a cloud answer that comes after the program's 30 s.
constexpr auto kRunBound = 90s;
constexpr auto kProgressPatience = 60s;
constexpr wchar_t kKeptPage[] = L"http://127.0.0.1:1/kept-by-an-earlier-start";

// One printer, found on the network, on the qel service whose tokens the printer's job uses.
constexpr char kNetworkTokens[] = R"(model = VT-X100 Series
serial = 5A3X01234
region = 1
wired-mac = 00:1B:A9:3C:10:01
ipv4 = 192.168.1.31
queue = VT-X100 Series
agreement = unknown
qel-service = serviceA
next-printer-id = VTP-0001-AAAA-0001
)";

// The same on USB only, reaching the cloud through a network of its own.
constexpr char kUsbTokens[] = R"(model = VT-M200 Series
serial = 8D1W09012
region = 1
wireless-mac = 00:1B:A9:6F:00:04
usb-port = USB001
usb = vtwidwus vtwiduns
queue = VT-M200 Series
qel-service = serviceA
agreement = unknown
internet = yes
next-printer-id = VTP-0004-DDDD-0001
)";

// A network printer of the qel service that asks the printer-ID server.
constexpr char kNetworkPrinterId[] = R"(model = VT-S300 Series
serial = 6B7Y05678
region = 3
wireless-mac = 00:1B:A9:4D:00:02
ipv4 = 192.168.1.32
queue = VT-S300 Series (Studio)
wifi-ssid = HomeNet
agreement = agree
qel-service = serviceD
connectivity-test = success
next-printer-id = VTP-0002-BBBB-0003
)";

struct Scenario {
    const char* name;
    FlowKind flow;
    std::vector<std::wstring> args;
    const char* printer;
    // Which faults of the catalogue this run puts (the others are put by another run).
    std::function<bool(const FaultKind&)> faults;
    // The cloud's steps of this run: requests under this path ("" all).
    std::string requests;
};

// The part of the cases this process runs: QEL_HOSTILE_SHARD "<k>/<n>" runs the k-th (from 0) of
// n parts of about the same length (PartOfEachCase); all of them without it.
std::pair<int, int> Shard() {
    char text[32] = {};
    int k = 0;
    int n = 1;
    if (::GetEnvironmentVariableA("QEL_HOSTILE_SHARD", text, sizeof text) > 0 &&
        std::sscanf(text, "%d/%d", &k, &n) == 2 && n > 0 && k >= 0 && k < n) {
        return {k, n};
    }
    return {0, 1};
}

// The part that runs each case: the costliest first, each to the part with the least work so
// far, an ordinary case counting 4 s and a late cloud answer its delay besides, so that the part
// that holds a half-minute case runs fewer others (round robin left one part twice as long).
std::vector<int> PartOfEachCase(const std::vector<Case>& cases, int shards) {
    std::vector<double> cost;
    for (const Case& c : cases) {
        const std::size_t delay = c.cloudRule.find("\"delay_ms\":");
        cost.push_back(4 + (delay == std::string::npos
                                ? 0
                                : std::atof(c.cloudRule.c_str() + delay + 11) / 1000));
    }
    std::vector<std::size_t> order(cases.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return cost[a] > cost[b]; });
    std::vector<double> work(static_cast<std::size_t>(shards));
    std::vector<int> part(cases.size());
    for (const std::size_t i : order) {
        const auto least = std::min_element(work.begin(), work.end());
        part[i] = static_cast<int>(least - work.begin());
        *least += cost[i];
    }
    return part;
}

bool Every(const FaultKind&) {
    return true;
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void WriteText(const std::wstring& path, const std::string& text) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out << text;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// A user who registers the first printer found: OK on the start box and every other box,
// Register on the invitation, Agree, Cancel on the Wi-Fi screens, and the list closed (the
// invitation skipped) once the program has told that the registration failed.
qeltest::AnswerTable UserAnswers() {
    using qeltest::Box;
    using qeltest::Dialog;
    qeltest::Answer registerFirst = qeltest::PressOnRow(IDC_LIST_REGISTER, 0);
    registerFirst.whenNoRow = qeltest::kCloseWindow;
    qeltest::Answer closeWhenTold = qeltest::Press(qeltest::kCloseWindow);
    closeWhenTold.afterBox = true;
    qeltest::Answer skipWhenTold = qeltest::Press(IDC_INVITATION_SKIP);
    skipWhenTold.afterBox = true;
    return {
        {Box(qelui::text::kSetupInformation), qeltest::Press(IDOK)},
        {Dialog(IDD_SEARCH_PROGRESS), qeltest::GoesByItself(kProgressPatience), true},
        {Dialog(IDD_PRINTER_LIST), registerFirst},
        {Dialog(IDD_PRINTER_LIST), closeWhenTold, true},
        {Dialog(IDD_INVITATION), qeltest::Press(IDC_INVITATION_REGISTER)},
        {Dialog(IDD_INVITATION), skipWhenTold, true},
        {Dialog(IDD_AGREEMENT), qeltest::Press(IDC_AGREE), true},
        {Dialog(IDD_STATUS_PROGRESS), qeltest::GoesByItself(kProgressPatience), true},
        {Dialog(IDD_WIFI_CONFIRM), qeltest::Press(IDC_WIFI_CANCEL), true},
        {Dialog(IDD_SSID), qeltest::Press(IDC_SSID_CANCEL), true},
        {Dialog(IDD_CONNECT_FAILED), qeltest::Press(IDCANCEL), true},
    };
}

class HostileRun : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = qelwin::JoinPath(qelwin::ThisModuleFolder(), L"..\\hostile");
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        // One folder per run and part: the runs go side by side.
        const auto [shard, shards] = Shard();
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ += L"\\" + std::wstring(test.begin(), test.end()) + L"-" +
                   std::to_wstring(shard + 1) + L"of" + std::to_wstring(shards);
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        worldFile_ = folder_ + L"\\case.world";
        recordFile_ = folder_ + L"\\case.record";
        ::SetEnvironmentVariableW(L"QEL_WORLD_RECORD", recordFile_.c_str());
        keptBefore_ = qelwinutil::ReadRegUrl();
    }

    // Runs the scenario's flow with the case's faults (none for nullptr).
    Outcome RunCase(const Scenario& s, const Case* c) {
        std::string world = "[world]\nsearch-delay-ms = 0\n";
        std::string printer = std::string("[printer p]\n") + s.printer;
        cloud_.Reset();
        if (c != nullptr) {
            for (const auto& line : c->worldLines) {
                world += line + "\n";
            }
            for (const auto& line : c->printerLines) {
                printer += line + "\n";
            }
            if (!c->cloudRule.empty()) {
                cloud_.AddRule(c->cloudRule);
            }
        }
        WriteText(worldFile_, world + "\n" + printer);
        ::DeleteFileW(recordFile_.c_str());
        qelwinutil::SaveRegUrl(kKeptPage);

        qeltest::DriveOptions options;
        options.args = s.args;
        options.answers = UserAnswers();
        options.answerOtherBoxesWithOk = true;
        options.proxy = cloud_.Url(L"");
        options.worldFile = worldFile_;
        options.language = L"EN";
        options.runBound = kRunBound;
        // The list is closed only once the program told how the registration ended, so a short
        // look at each screen is enough.
        options.settle = 150ms;
        // Pictures of the last case only; a case that found a fault keeps its own.
        options.pictureFolder = folder_ + L"\\pictures";
        options.picturePrefix = L"case-";
        lastReport_ = qeltest::DriveProgram(options);
        Outcome outcome = ReadReport(lastReport_);
        outcome.regUrlKept = qelwinutil::ReadRegUrl() == kKeptPage;
        if (c != nullptr) {
            outcome.faultReached = Reached(*c);
        }
        return outcome;
    }

    bool Reached(const Case& c) {
        if (c.fault->target == Target::Cloud) {
            int same = 0;
            const int count = cloud_.Count();
            for (int i = 0; i < count; ++i) {
                if (Request(i) == c.step.what) {
                    ++same;
                }
            }
            return same > c.step.occurrence;
        }
        const std::vector<std::string> record = ReadLines(recordFile_);
        if (c.fault->target == Target::PortEntry) {
            const std::string fired = std::string("fault ") + c.fault->spec;
            for (const auto& line : record) {
                if (line == fired) {
                    return true;
                }
            }
            return false;
        }
        int same = 0;
        for (const auto& line : record) {
            std::istringstream in(line);
            std::string tag, printer, port, service, operation;
            in >> tag >> printer >> port >> service >> operation;
            if (tag == "exchange" && service + " " + operation == c.step.what) {
                ++same;
            }
        }
        return same > c.step.occurrence;
    }

    // What the cloud received and answered in the last case, for people reading a fault.
    std::string CloudLog() {
        std::string log;
        for (int i = 0, n = cloud_.Count(); i < n; ++i) {
            log += "cloud: " + Request(i) + " -> " + cloud_.Field(i, "status").value_or("?");
            const std::string problems = cloud_.Field(i, "problems").value_or("");
            log += problems.empty() ? "\n" : " (" + problems + ")\n";
        }
        return log;
    }

    std::string Request(int index) {
        return cloud_.Field(index, "method").value_or("") + " " +
               cloud_.Field(index, "path").value_or("");
    }

    void Run(const Scenario& s) {
        const Outcome clean = RunCase(s, nullptr);
        std::vector<std::string> requests;
        for (int i = 0, n = cloud_.Count(); i < n; ++i) {
            const std::string r = Request(i);
            if (r.find(s.requests) != std::string::npos) {
                requests.push_back(r);
            }
        }
        const CleanRun steps = ReadCleanRun(ReadLines(recordFile_), requests);
        std::printf("%s: the run without faults: %s; %zu exchanges with the printer, %zu requests "
                    "to the cloud\n",
                    s.name, clean.pageOpened ? "registered" : "NOT registered",
                    steps.exchanges.size(), requests.size());
        ASSERT_TRUE(clean.pageOpened && lastReport_.Passed())
            << "the run without faults must register\n"
            << Narrow(qeltest::FormatReport(lastReport_));
        // The steps come from the world's record and the cloud's: without them no case is made.
        ASSERT_FALSE(steps.exchanges.empty()) << "the world recorded no exchange";
        ASSERT_FALSE(requests.empty()) << "the cloud recorded no request";

        std::vector<FaultKind> faults;
        for (const FaultKind& f : Catalogue()) {
            if (s.faults(f)) {
                faults.push_back(f);
            }
        }
        std::set<std::string> covered;
        const std::vector<Case> cases = BuildCases(
            faults, steps,
            {Target::PrinterReply, Target::PrinterSetting, Target::PortEntry, Target::Cloud},
            covered);

        const auto [shard, shards] = Shard();
        // QEL_HOSTILE_ONLY=<text>: only the cases whose names hold it, to look at one again.
        const char* only = std::getenv("QEL_HOSTILE_ONLY");
        const std::vector<int> parts = PartOfEachCase(cases, shards);
        std::vector<Case> mine;
        for (std::size_t i = 0; i < cases.size(); ++i) {
            if (parts[i] == shard &&
                (only == nullptr || cases[i].name.find(only) != std::string::npos)) {
                mine.push_back(cases[i]);
            }
        }
        std::printf("%s: %zu cases of the catalogue, this part %d of %d runs %zu\n", s.name,
                    cases.size(), shard + 1, shards, mine.size());
        // More parts than cases would leave a part green that tested nothing.
        ASSERT_TRUE(only != nullptr || !mine.empty()) << "this part runs no case";
        std::map<std::string, int> labels;
        std::vector<std::string> problems;
        const auto started = std::chrono::steady_clock::now();
        for (const Case& c : mine) {
            const auto caseStart = std::chrono::steady_clock::now();
            const Outcome outcome = RunCase(s, &c);
            const Verdict v = Judge(s.flow, c, outcome);
            ++labels[v.label];
            const double took =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - caseStart).count();
            std::printf("  %-16s %5.1f s  %s%s%s\n", v.label.c_str(), took, c.name.c_str(),
                        v.problem.empty() ? "" : "  <- ", v.problem.c_str());
            std::fflush(stdout);
            if (!v.problem.empty()) {
                problems.push_back(c.name + ": " + v.problem + "\n" +
                                   Narrow(qeltest::FormatReport(lastReport_)) + CloudLog());
            }
        }
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::steady_clock::now() - started)
                                 .count();
        std::printf("%s: %zu cases in %lld s:", s.name, mine.size(),
                    static_cast<long long>(seconds));
        for (const auto& [label, count] : labels) {
            std::printf(" %s %d;", label.c_str(), count);
        }
        // A case whose fault was never reached tested nothing: a fault of the case list.
        const int unreached = labels["not reached"];
        std::printf(" sound %zu, faults of the program %zu, cases that met no fault %d\n",
                    mine.size() - problems.size(), problems.size() - unreached, unreached);
        for (const auto& p : problems) {
            ADD_FAILURE() << p;
        }
    }

    std::wstring folder_;
    std::wstring worldFile_;
    std::wstring recordFile_;
    std::wstring keptBefore_;
    qelcloud::SimulatedCloud cloud_;
    qeltest::DriveReport lastReport_;
};

TEST_F(HostileRun, SetupNetwork) {
    Run({"setup-network", FlowKind::Setup, {L"-Setup"}, kNetworkTokens, Every, ""});
}

TEST_F(HostileRun, SetupUsb) {
    // The printer's replies were changed at every step by the network run; here its link.
    Run({"setup-usb",
         FlowKind::Setup,
         {L"-Setup"},
         kUsbTokens,
         [](const FaultKind& f) {
             return f.target == Target::PortEntry || std::string(f.fits) == "vtmpu";
         },
         ""});
}

TEST_F(HostileRun, SetupPrinterIdServer) {
    // The gateway was met at every step by the network run; here the printer-ID server.
    Run({"setup-printer-id",
         FlowKind::Setup,
         {L"-Setup"},
         kNetworkPrinterId,
         [](const FaultKind& f) { return f.target == Target::Cloud; },
         "/printerid"});
}

// The installer's and launcher's registrations read the printer and ask the cloud as the
// printer list's does, whose run met each reply's changes at every step: here what their own
// handling of a failure meets, the cloud, the printer's link dropped at every step and its keys.
bool FlowFaults(const FaultKind& f) {
    return f.target == Target::Cloud || f.family == Family::BadKeyOrDigest ||
           (f.target == Target::PortEntry && f.reach == Reach::Every);
}

TEST_F(HostileRun, InstallerNetwork) {
    Run({"installer-network",
         FlowKind::Installer,
         {L"-Preply", L"-REG", L"VT-X100 Series", L"VT-X100 Series", L"EN"},
         kNetworkTokens,
         FlowFaults,
         ""});
}

TEST_F(HostileRun, LauncherNetwork) {
    Run({"launcher-network",
         FlowKind::Launcher,
         {L"-HD", L"-REG", L"VT-X100 Series", L"VT-X100 Series"},
         kNetworkTokens,
         FlowFaults,
         ""});
}

} // namespace
