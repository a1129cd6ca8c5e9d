// The real QelRegistration.exe on its "-Setup" road, driven from this process against the
// simulated world and cloud: every screen it shows in order, the page it opens, how it ends, and
// nothing of the run left running. The cloud serves the program's fixed service addresses as its
// http proxy.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "resource.h"
#include "simulated_cloud.h"
#include "testkit/child_process.h"
#include "testkit/program_driver.h"
#include "testkit/table_part.h"
#include "ui/text_ids.h"
#include "win/module_path.h"
#include "win/unique_any.h"

namespace {

using namespace std::chrono_literals;
using qeltest::Box;
using qeltest::Dialog;
using qeltest::ScreenKey;

// A world of the run command's default world (beside the program) with only that printer, or
// none for "", searched for a second (or that long); written for the program to read.
std::wstring WorldWith(const std::string& printer, int searchMs = 1000) {
    std::ifstream in(qelwin::JoinPath(qelwin::ThisModuleFolder(), L"qelworld.world").c_str());
    std::string text = "[world]\nsearch-delay-ms = " + std::to_string(searchMs) + "\n";
    bool keep = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind('[', 0) == 0) {
            keep = !printer.empty() && line == "[printer " + printer + "]";
        }
        if (keep) {
            text += line + "\n";
        }
    }
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"qel-setup-road-" +
                              std::wstring(printer.begin(), printer.end()) + L".world";
    std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << text;
    return path;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// A program's output lines, each after the seconds since its start at which it came through a pipe.
std::vector<std::pair<double, std::string>> ThroughAPipe(const std::wstring& program,
                                                         const std::vector<std::wstring>& args) {
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    qelwin::unique_handle read, write;
    ::CreatePipe(read.put(), write.put(), &inherited, 0);
    ::SetHandleInformation(read.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = write.get();
    std::wstring line = qeltest::BuildCommandLine(program, args);
    PROCESS_INFORMATION info{};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::pair<double, std::string>> told;
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return told;
    }
    const qelwin::unique_handle process(info.hProcess), thread(info.hThread);
    write.reset();
    std::string pending;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(read.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        const std::chrono::duration<double> at = std::chrono::steady_clock::now() - start;
        pending.append(buffer, got);
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;
             pending.erase(0, end + 1)) {
            // The C runtime's text mode ends each line with "\r\n".
            told.emplace_back(at.count(),
                              pending.substr(0, end - (end > 0 && pending[end - 1] == '\r')));
        }
    }
    return told;
}

TEST(SetupRoad, TheProgramGoesFromTheFirstBoxToThePageOrEndsCleanlyWhenStopped) {
    qelcloud::SimulatedCloud cloud;
    const std::wstring pageStart = cloud.Url(L"/gateway/page?reg=");
    const qeltest::AnswerTable road = qeltest::SetupRoadAnswers();
    // Nothing found: box 11010 (answered as any other box), then the list is closed.
    const qeltest::AnswerTable closeTheList = {
        {Box(qelui::text::kSetupInformation), qeltest::Press(IDOK)},
        {Dialog(IDD_PRINTER_LIST), qeltest::Press(qeltest::kCloseWindow)},
        {Dialog(IDD_SEARCH_PROGRESS), qeltest::GoesByItself(30s)}};
    const qeltest::AnswerTable unanswered(road.begin() + 1, road.end());
    // A refused registration: its box (answered as any other), then the list again, closed.
    qeltest::AnswerTable refused = road;
    refused.push_back({Dialog(IDD_PRINTER_LIST), qeltest::Press(qeltest::kCloseWindow)});

    struct Row {
        const char* name;
        std::vector<std::wstring> args;
        const char* printer; // of the default world; "" none; null: the whole default world
        const qeltest::AnswerTable& answers;
        bool okBoxes;     // boxes without a row get OK
        const char* rule; // of the cloud; "" for none
        // Expected: the road, the rows of the list, a page opened, the run went through
        // (else the watchdog ended the program on the first screen).
        std::vector<ScreenKey> screens;
        std::vector<std::wstring> rows;
        bool page;
        bool passed;
    };
    const std::vector<ScreenKey> registration = {
        Box(qelui::text::kSetupInformation), Dialog(IDD_PRINTER_LIST), Dialog(IDD_SEARCH_PROGRESS),
        Dialog(IDD_AGREEMENT), Dialog(IDD_STATUS_PROGRESS)};
    const std::vector<std::wstring> setup = {L"-Setup"};
    // clang-format off
    const Row rows[] = {
        {"default", setup, nullptr, road, false, "", registration,
         {L"VT-X100 Series | ****01234", L"VT-S300 Series | ****05678",
          L"VT-M200 Series | ****09012"}, true, true},
        {"one", setup, "office", road, false, "", registration,
         {L"VT-X100 Series | ****01234"}, true, true},
        {"refused", setup, "office", refused, true, R"({"path": "/gateway/capi", "status": 500})",
         {Box(qelui::text::kSetupInformation), Dialog(IDD_PRINTER_LIST),
          Dialog(IDD_SEARCH_PROGRESS), Dialog(IDD_AGREEMENT), Dialog(IDD_STATUS_PROGRESS),
          Box(qelui::text::kRegistrationFailed)}, {L"VT-X100 Series | ****01234"}, false, true},
        {"none", setup, "", closeTheList, true, "",
         {Box(qelui::text::kSetupInformation), Dialog(IDD_PRINTER_LIST),
          Dialog(IDD_SEARCH_PROGRESS), Box(qelui::text::kSearchFailed)}, {}, false, true},
        {"plain", {}, "office", road, true, "",
         {Box(qelui::text::kStartedWithoutOption)}, {}, false, true},
        {"unanswered", setup, "office", unanswered, false, "",
         {Box(qelui::text::kSetupInformation)}, {}, false, false},
    };
    // clang-format on
    for (const Row& row : qeltest::RowsOfThisPart(rows)) {
        SCOPED_TRACE(row.name);
        cloud.Reset();
        if (*row.rule != '\0') {
            cloud.AddRule(row.rule);
        }
        qeltest::DriveOptions options;
        options.args = row.args;
        options.answers = row.answers;
        options.answerOtherBoxesWithOk = row.okBoxes;
        options.pagesExpected = row.page ? 1 : 0;
        options.proxy = cloud.Url(L"");
        options.worldFile = row.printer != nullptr ? WorldWith(row.printer) : L"";
        options.picturePrefix =
            L"setup-road-" + std::wstring(row.name, row.name + strlen(row.name)) + L"-";
        // The unanswered box ends the run soon; a screen answered keeps the default bound, so a
        // busy machine that is slow to take an answer fails nothing.
        if (!row.passed) {
            options.stayBound = 3s;
        }
        const qeltest::DriveReport report = qeltest::DriveProgram(options);
        SCOPED_TRACE(Narrow(qeltest::FormatReport(report)));

        ASSERT_TRUE(report.started);
        EXPECT_EQ(report.Road(), row.screens);
        EXPECT_EQ(report.Passed(), row.passed);
        EXPECT_TRUE(report.leftBehind.empty());
        // Every screen answered is pictured as it was answered (one that went by itself may be
        // gone before its picture).
        for (const qeltest::SeenScreen& screen : report.screens) {
            EXPECT_TRUE(screen.action.rfind(L"pressed", 0) != 0 || !screen.picture.empty())
                << Narrow(qeltest::Describe(screen.key));
        }
        if (row.passed) {
            EXPECT_EQ(report.exitCode, 0u);
        } else {
            EXPECT_FALSE(report.exitCode.has_value());
            EXPECT_NE(report.failure.find(L"box 11008 stayed"), std::wstring::npos);
        }
        const auto list =
            std::find_if(report.screens.begin(), report.screens.end(),
                         [](const auto& s) { return s.key == Dialog(IDD_PRINTER_LIST); });
        if (list != report.screens.end()) {
            EXPECT_EQ(list->rows, row.rows);
        }
        if (row.page) {
            ASSERT_EQ(report.pages.size(), 1u);
            EXPECT_EQ(report.pages[0].rfind(pageStart, 0), 0u) << Narrow(report.pages[0]);
            // The program's fixed service addresses led to this cloud; the registration went
            // as one document.
            EXPECT_EQ(cloud.Count("/gateway/api0122"), 1);
            EXPECT_EQ(cloud.Field(-1, "problems", "/gateway/api0122").value_or("?"), "");
        } else {
            EXPECT_TRUE(report.pages.empty());
            EXPECT_EQ(cloud.Count("/gateway/api0122"), 0);
        }
    }
}

// Each printer of the default world as the run command's user registers it (tools/run.sh
// --printer <model> -Setup without a display): every printer that the list offers on its own
// road to the page, seen by which service of the cloud gave its identity; one that the list
// does not offer stops the run with why.
TEST(SetupRoad, EveryPrinterOfTheDefaultWorldRegistersOnItsRoadAsTheRunCommandDrivesIt) {
    qelcloud::SimulatedCloud cloud;
    const std::vector<ScreenKey> network = {Box(qelui::text::kSetupInformation),
                                            Dialog(IDD_PRINTER_LIST), Dialog(IDD_SEARCH_PROGRESS),
                                            Dialog(IDD_AGREEMENT), Dialog(IDD_STATUS_PROGRESS)};
    std::vector<ScreenKey> usbAndWifi = network;
    usbAndWifi.insert(usbAndWifi.end(),
                      {Box(qelui::text::kWifiConnectQuestion), Dialog(IDD_SEARCH_PROGRESS),
                       Dialog(IDD_SSID), Dialog(IDD_SEARCH_PROGRESS), Dialog(IDD_STATUS_PROGRESS)});
    const std::vector<ScreenKey> notOffered = {
        Box(qelui::text::kSetupInformation), Dialog(IDD_PRINTER_LIST), Dialog(IDD_SEARCH_PROGRESS)};
    struct Row {
        const wchar_t* model;
        std::vector<ScreenKey> screens;
        int tokens;             // token server requests (the serviceA road)
        int printerIds;         // printer-ID server requests (the serviceY road)
        const wchar_t* failure; // of a run that the driver stopped; null: it went through
    };
    const Row rows[] = {
        {L"VT-X100 Series", network, 1, 0, nullptr},
        {L"VT-S300 Series", network, 0, 1, nullptr},
        {L"VT-M200 Series", usbAndWifi, 2, 0, nullptr},
        {L"VT-L50 Series", notOffered, 0, 0, L"offers no printer of model \"VT-L50 Series\""},
    };
    for (const Row& row : qeltest::RowsOfThisPart(rows)) {
        SCOPED_TRACE(Narrow(row.model));
        cloud.Reset();
        qeltest::DriveOptions options;
        options.args = {L"-Setup"};
        options.proxy = cloud.Url(L"");
        qeltest::AnswerAsTheRunCommand(row.model, options);
        options.pagesExpected = row.failure == nullptr ? 1 : 0;
        options.picturePrefix = L"setup-road-world-" + std::wstring(row.model) + L"-";
        const qeltest::DriveReport report = qeltest::DriveProgram(options);
        SCOPED_TRACE(Narrow(qeltest::FormatReport(report)));

        EXPECT_EQ(report.Road(), row.screens);
        EXPECT_TRUE(report.leftBehind.empty());
        EXPECT_EQ(cloud.Count("/token/"), row.tokens);
        EXPECT_EQ(cloud.Count("/printerid/"), row.printerIds);
        if (row.failure == nullptr) {
            EXPECT_TRUE(report.Passed());
            ASSERT_EQ(report.pages.size(), 1u);
            EXPECT_EQ(report.pages[0].rfind(cloud.Url(L"/gateway/page?reg="), 0), 0u)
                << Narrow(report.pages[0]);
            EXPECT_EQ(cloud.Field(-1, "problems", "/gateway/api0122").value_or("?"), "");
        } else {
            EXPECT_NE(report.failure.find(row.failure), std::wstring::npos);
            EXPECT_TRUE(report.pages.empty());
        }
    }
}

// qeldrive.exe as tools/run.sh starts it, read through a pipe: each screen told at once as it is
// passed, not with the report at the end, and while one stays up a line naming it each --still
// seconds (1 here, for the office printer's search of 4 s).
TEST(SetupRoad, TheRunCommandsDriverTellsEachScreenThroughAPipeAsItIsPassed) {
    qelcloud::SimulatedCloud cloud;
    ::GetDesktopWindow(); // started by this test, the desktop holds no end of the pipe
    const auto told = ThroughAPipe(qelwin::JoinPath(qelwin::ThisModuleFolder(), L"qeldrive.exe"),
                                   {L"--proxy", cloud.Url(L""), L"--world",
                                    WorldWith("office", 4000), L"--still", L"1", L"--prefix",
                                    L"setup-road-drive-", L"--bound", L"120", L"--", L"-Setup"});
    std::string all;
    std::map<std::string, double> at; // the first line of each start
    for (const auto& [when, line] : told) {
        all += std::to_string(when) + " " + line + "\n";
        at.emplace(line.substr(0, line.find_first_of(":(")), when);
    }
    SCOPED_TRACE(all);
    const auto when = [&](const char* start) { return at.count(start) ? at[start] : -1.0; };
    const double box = when("1. box 11008");
    const double status = when("5. dialog 145 status progress - waited");
    ASSERT_GE(box, 0);
    ASSERT_GT(status, box);
    // The first screen came through while the search still had its 4 s to go; up to the last
    // screen no line waited much longer than the second between two lines.
    EXPECT_GT(when("Exit code") - box, 3.5);
    double last = 0;
    int still = 0;
    for (const auto& [when, line] : told) {
        if (when <= status) {
            EXPECT_LT(when - last, 2.5) << line;
            last = when;
            still += line.rfind("   still on dialog 143 search progress: ", 0) == 0 ? 1 : 0;
        }
    }
    EXPECT_GE(still, 2);
    EXPECT_GE(when("Page opened"), status);
    EXPECT_NE(all.find(" Exit code: 0\n"), std::string::npos);
}

} // namespace
