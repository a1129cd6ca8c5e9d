// The case list: steps read from a run's record and requests, the lines and rules each fault
// becomes there, and every printer and world line the catalogue makes taken by the real world.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "hostile/case_list.h"
#include "hostile/fault_catalogue.h"
#include "qelworld/qelworld_client.h"
#include "win/module_path.h"

namespace {

using namespace qelhostile;

// A search (one read of the printer's identity) and a registration over the network, then the
// cloud's answers.
const std::vector<std::string> kRecord = {
    "call pu2Open 192.168.1.31 -> 1",
    "exchange p port1 device GetCapability OK",
    "call pu2Write 1 310 -> 0",
    "call pu2Read 1 65536 -> 0",
    "call pu2Close 1 -> 0",
    "call pu2Open 192.168.1.31 -> 2",
    "exchange p port2 qel StartJob OK",
    "call pu2Write 2 400 -> 0",
    "call pu2Read 2 65536 -> 1",
    "call pu2Read 2 65536 -> 0",
    "exchange p port2 qel StartJob OK",
    "call pu2Write 2 420 -> 0",
    "call pu2Read 2 65536 -> 0",
    "exchange p usb qel ReceiveData OK",
};
const std::vector<std::string> kRequests = {"POST /token/a/v1/register", "GET /gateway/capi",
                                            "GET /gateway/capi", "POST /printerid/v1/printers"};

const FaultKind& Kind(const char* name) {
    const auto& all = Catalogue();
    const auto it = std::find_if(all.begin(), all.end(),
                                 [&](const FaultKind& f) { return std::string(f.name) == name; });
    if (it == all.end()) {
        throw std::runtime_error(std::string("no fault ") + name);
    }
    return *it;
}

std::vector<Case> CasesOf(const char* fault) {
    std::set<std::string> covered;
    return BuildCases(
        {Kind(fault)}, ReadCleanRun(kRecord, kRequests),
        {Target::PrinterReply, Target::PrinterSetting, Target::PortEntry, Target::Cloud}, covered);
}

TEST(CaseListTest, StepsComeFromTheRecordInOrderWithTheCallsBeforeThem) {
    const CleanRun run = ReadCleanRun(kRecord, kRequests);
    ASSERT_EQ(run.exchanges.size(), 4u);
    struct Expected {
        const char* name;
        const char* link;
        int writesBefore;
        int readsBefore;
        int opensBefore;
    };
    const Expected expected[] = {
        {"device GetCapability", "vtmpu2", 0, 0, 1},
        {"qel StartJob", "vtmpu2", 1, 1, 2},
        {"qel StartJob #2", "vtmpu2", 2, 3, 2},
        {"qel ReceiveData", "vtmpu", 3, 4, 2},
    };
    for (std::size_t i = 0; i < run.exchanges.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        const Step& s = run.exchanges[i];
        EXPECT_EQ(s.Name(), expected[i].name);
        EXPECT_EQ(s.link, expected[i].link);
        EXPECT_EQ(s.callsBefore.count("pu2Write") ? s.callsBefore.at("pu2Write") : 0,
                  expected[i].writesBefore);
        EXPECT_EQ(s.callsBefore.count("pu2Read") ? s.callsBefore.at("pu2Read") : 0,
                  expected[i].readsBefore);
        EXPECT_EQ(s.callsBefore.at("pu2Open"), expected[i].opensBefore);
    }
    ASSERT_EQ(run.requests.size(), 4u);
    EXPECT_EQ(run.requests[2].Name(), "GET /gateway/capi #2");
}

TEST(CaseListTest, EachFaultBecomesItsLinesAtEveryStepItFits) {
    struct Expected {
        const char* fault;
        std::vector<std::string> names;
        // The first case's lines: world, printer, cloud rule.
        std::string world;
        std::string printer;
        std::string rule;
    };
    const Expected table[] = {
        {"reply-refused",
         {"reply-refused at device GetCapability", "reply-refused at qel StartJob",
          "reply-refused at qel StartJob #2", "reply-refused at qel ReceiveData"},
         "",
         "reply-fault = device GetCapability refuse skip 0",
         ""},
        {"job-key-bad",
         {"job-key-bad at qel StartJob", "job-key-bad at qel StartJob #2"},
         "",
         "reply-fault = qel StartJob set vvt:ijdatakey7 00 skip 0",
         ""},
        {"reply-late-usb",
         {"reply-late-usb at qel ReceiveData"},
         "",
         "reply-fault = qel ReceiveData delay 2600 skip 0",
         ""},
        // Counted over the world: the second StartJob's write follows two writes.
        {"network-read-closed",
         {"network-read-closed at device GetCapability", "network-read-closed at qel StartJob",
          "network-read-closed at qel StartJob #2"},
         "fault = pu2Read -14 skip 0",
         "",
         ""},
        // At the exchange's own opening, the last before it.
        {"network-open-refused",
         {"network-open-refused at device GetCapability"},
         "fault = pu2Open fail skip 0",
         "",
         ""},
        {"usb-read-closed",
         {"usb-read-closed at qel ReceiveData"},
         "fault = puRead fail-close skip 0",
         "",
         ""},
        // Only at its first step: it costs a long wait.
        {"answer-keyed-elsewhere",
         {"answer-keyed-elsewhere at qel StartJob"},
         "",
         "answer-address = 10.0.0.99",
         ""},
        {"cloud-late",
         {"cloud-late at POST /token/a/v1/register"},
         "",
         "",
         R"({"path": "/token/a/v1/register", "method": "POST", "skip": 0, "times": 1, "delay_ms": 31000})"},
        // Once, at the first step it fits when it is the first fault of its reach.
        {"cloud-json-for-xml",
         {"cloud-json-for-xml at POST /token/a/v1/register"},
         "",
         "",
         R"({"path": "/token/a/v1/register", "method": "POST", "skip": 0, "times": 1, "malform": "not-xml"})"},
        {"cloud-xml-for-json",
         {"cloud-xml-for-json at POST /printerid/v1/printers"},
         "",
         "",
         R"({"path": "/printerid/v1/printers", "method": "POST", "skip": 0, "times": 1, "malform": "not-json"})"},
    };
    for (const Expected& e : table) {
        SCOPED_TRACE(e.fault);
        const std::vector<Case> cases = CasesOf(e.fault);
        std::vector<std::string> names;
        for (const Case& c : cases) {
            names.push_back(c.name);
        }
        EXPECT_EQ(names, e.names);
        ASSERT_FALSE(cases.empty());
        EXPECT_EQ(cases[0].worldLines,
                  e.world.empty() ? std::vector<std::string>{} : std::vector<std::string>{e.world});
        EXPECT_EQ(cases[0].printerLines, e.printer.empty() ? std::vector<std::string>{}
                                                           : std::vector<std::string>{e.printer});
        EXPECT_EQ(cases[0].cloudRule, e.rule);
    }
    // The second StartJob: skip counts the replies and calls before it.
    const std::vector<Case> refused = CasesOf("reply-refused");
    EXPECT_EQ(refused[2].printerLines[0], "reply-fault = qel StartJob refuse skip 1");
    const std::vector<Case> closed = CasesOf("network-read-closed");
    EXPECT_EQ(closed[2].worldLines[0], "fault = pu2Read -14 skip 3");
    // An opening fails only at the exchanges that opened a channel of their own: the second
    // StartJob goes over the channel the first opened.
    FaultKind everyOpening = Kind("network-open-refused");
    everyOpening.reach = Reach::Every;
    std::set<std::string> covered;
    const auto openings =
        BuildCases({everyOpening}, ReadCleanRun(kRecord, kRequests), {Target::PortEntry}, covered);
    ASSERT_EQ(openings.size(), 2u);
    EXPECT_EQ(openings[1].name, "network-open-refused at qel StartJob");
    EXPECT_EQ(openings[1].worldLines[0], "fault = pu2Open fail skip 1");
    EXPECT_EQ(
        CasesOf("cloud-error-500")[2].cloudRule,
        R"({"path": "/gateway/capi", "method": "GET", "skip": 1, "times": 1, "status": 500})");
}

TEST(CaseListTest, FaultsPutOnceGoEachToTheNextStepTheyFit) {
    std::set<std::string> covered;
    const auto cases =
        BuildCases({Kind("cloud-json-for-xml"), Kind("cloud-forbidden"), Kind("cloud-xml-for-json"),
                    Kind("cloud-padded"), Kind("cloud-bad-utf8"), Kind("cloud-padded")},
                   ReadCleanRun(kRecord, kRequests), {Target::Cloud}, covered);
    std::vector<std::string> names;
    for (const Case& c : cases) {
        names.push_back(c.name);
    }
    // The n-th goes to the n-th step it fits: the third fits one step only, the sixth is the
    // fourth again at another step.
    EXPECT_EQ(names, (std::vector<std::string>{"cloud-json-for-xml at POST /token/a/v1/register",
                                               "cloud-forbidden at GET /gateway/capi",
                                               "cloud-xml-for-json at POST /printerid/v1/printers",
                                               "cloud-padded at POST /printerid/v1/printers",
                                               "cloud-bad-utf8 at POST /token/a/v1/register",
                                               "cloud-padded at GET /gateway/capi"}));
}

TEST(CaseListTest, ACaseAlreadyCoveredIsNotMadeAgain) {
    const CleanRun run = ReadCleanRun(kRecord, kRequests);
    std::set<std::string> covered;
    const std::set<Target> all{Target::PrinterReply, Target::PrinterSetting, Target::PortEntry,
                               Target::Cloud};
    const auto first = BuildCases(Catalogue(), run, all, covered);
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(covered.size(), first.size()); // every name once
    EXPECT_TRUE(BuildCases(Catalogue(), run, all, covered).empty());
    covered.clear();
    EXPECT_TRUE(BuildCases(Catalogue(), run, {}, covered).empty());
}

TEST(CaseListTest, TheCatalogueCoversEveryFamilyOnThePrinterAndTheCloudSides) {
    std::set<std::pair<bool, Family>> seen;
    for (const FaultKind& f : Catalogue()) {
        seen.insert({f.target == Target::Cloud, f.family});
    }
    for (bool cloud : {false, true}) {
        for (Family family : {Family::Refusal, Family::Cut, Family::Oversized,
                              Family::WrongNamespace, Family::TimeOut, Family::DroppedConnection,
                              Family::BadKeyOrDigest, Family::Malformed}) {
            EXPECT_TRUE(seen.count({cloud, family}) != 0)
                << (cloud ? "cloud " : "printer ") << FamilyName(family);
        }
    }
}

TEST(CaseListTest, TheWorldTakesEveryLineTheCatalogueMakes) {
    qelworld::Client world(qelwin::ThisModuleFolder());
    ASSERT_TRUE(world.Loaded());
    std::set<std::string> covered;
    const auto cases =
        BuildCases(Catalogue(), ReadCleanRun(kRecord, kRequests),
                   {Target::PrinterReply, Target::PrinterSetting, Target::PortEntry}, covered);
    ASSERT_FALSE(cases.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = "[world]\n";
        for (const auto& line : c.worldLines) {
            text += line + "\n";
        }
        text += "[printer p]\nipv4 = 192.168.1.31\n";
        for (const auto& line : c.printerLines) {
            text += line + "\n";
        }
        EXPECT_EQ(world.Load(text), "");
    }
    world.Reset();
}

} // namespace
