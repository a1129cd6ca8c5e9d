// What a registering screen does after a failed registration, the Wi-Fi recovery above all, over
// scripted screens and device steps: what it shows and runs in which order, what it answers, and
// the user action, USB retry state and send-info bits it leaves, the same through the state of
// the printer list (the application facts) and of the invitation screen (its controller's
// fields).
#include <gtest/gtest.h>

#include <cwchar>
#include <deque>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "qelcmn/exceptions.h"
#include "qelinfo/ApplicationInfo.h"
#include "wifi/recovery_state.h"
#include "wifi/wifi_recovery.h"

namespace {

using namespace qelwifi;

constexpr int kFound = printerutil::kResultAccessPointFound;
constexpr int kApplied = printerutil::kResultAccessPointApplied;

// One search: its result code and the names the printer saw (with code 6 it matched HomeNet).
struct Seen {
    int code;
    std::vector<std::wstring> names;
};
const Seen kHome{kFound, {L"HomeNet", L"Cafe Corner"}};
const Seen kOthers{0, {L"Cafe Corner"}};
const Seen kNothing{0, {}};

// The user's and the printer's answers, in order. A network chosen in dialog 148 is Cafe Corner
// with the key "latte"; kNetworkCancel or kClosed there choose nothing.
struct Answers {
    bool ask = true;
    std::deque<Seen> searches = {};
    std::deque<int> confirms = {};
    std::deque<int> choices = {};
    std::deque<int> connectFailed = {};
    std::deque<int> applies = {};
    bool searchThrows = false;
    bool applyThrows = false;
};

class Script final : public IWifiScreens, public IAccessPointSteps {
public:
    explicit Script(Answers answers) : a_(std::move(answers)) {}
    std::string log;

    void ShowRetryLater() override { Log("retry-later"); }
    void ShowFailure() override { Log("failure"); }
    bool AskToConnect() override { return Log("ask"), a_.ask; }
    void ShowNoAccessPoint() override { Log("no-ap"); }
    int ConfirmNetwork(const std::wstring& ssid) override {
        Log("confirm " + Narrow(ssid));
        return Next(a_.confirms);
    }
    int ChooseNetwork(const AccessPointBuffer& list, bool notSeen, std::wstring& name,
                      std::wstring& key) override {
        Log(notSeen ? "choose-notseen" : "choose-manual");
        for (const auto& offered : AccessPointNames(list)) {
            log += "," + Narrow(offered);
        }
        const int answer = Next(a_.choices);
        if (answer == kNetworkChosen) {
            name = L"Cafe Corner";
            key = L"latte";
        }
        return answer;
    }
    int ConnectFailed() override { return Log("connect-failed"), Next(a_.connectFailed); }
    printerutil::stRegSeqResult Search(std::wstring& ssid, std::wstring& key,
                                       AccessPointBuffer& list) override {
        Log("search");
        EXPECT_TRUE(ssid.empty() && key.empty() && AccessPointNames(list).empty())
            << "each search starts with empty outputs and a zeroed buffer";
        if (a_.searchThrows) {
            throw std::runtime_error("search task failed");
        }
        const Seen seen = Next(a_.searches);
        for (std::size_t i = 0; i < seen.names.size(); ++i) {
            std::wcsncpy(list[i].ssid, seen.names[i].c_str(), 32);
        }
        if (seen.code == kFound) {
            ssid = L"HomeNet";
            key = L"horse";
        }
        return {0, seen.code, L"", L""};
    }
    printerutil::stRegSeqResult Apply(const std::wstring& ssid, const std::wstring& key) override {
        Log("apply " + Narrow(ssid) + "/" + Narrow(key));
        if (a_.applyThrows) {
            throw std::runtime_error("apply task failed");
        }
        return {0, Next(a_.applies), L"", L""};
    }

private:
    static std::string Narrow(const std::wstring& t) { return std::string(t.begin(), t.end()); }
    void Log(const std::string& line) { log += (log.empty() ? "" : "|") + line; }
    template <typename T> T Next(std::deque<T>& answers) {
        if (answers.empty()) {
            ADD_FAILURE() << "the script has no more answers";
            return T{};
        }
        T next = answers.front();
        answers.pop_front();
        return next;
    }
    Answers a_;
};

std::exception_ptr Cancel(std::uint32_t code) {
    return std::make_exception_ptr(qelcmn::qel_cancel(code, L"outcome"));
}

// The entry the screen calls: after the failure given, after a first or a repeated USB failure,
// or the Wi-Fi setup flow on its own.
enum class Entry { kFailure, kUsbRetry, kUsbRetryFailed, kSetupWifi };

struct Row {
    const char* name;
    Entry entry;
    int retriedBefore;
    Answers answers;
    int result; // 1 / 0 (true / false)
    std::string log;
    int userAction;
    int retriedAfter;
    int sendInfoBits = 0; // what the invitation screen records
    std::exception_ptr failure = nullptr;
};

int RunEntry(const Row& row, WifiRecovery& recovery) {
    switch (row.entry) {
    case Entry::kFailure:
        return recovery.AfterRegistrationFailure(row.failure) ? 1 : 0;
    case Entry::kUsbRetry:
        return recovery.AfterUsbRetry() ? 1 : 0;
    case Entry::kUsbRetryFailed:
        return recovery.AfterUsbRetryFailed() ? 1 : 0;
    case Entry::kSetupWifi:
        return recovery.SetupWifi();
    }
    return -1;
}

TEST(WifiRecovery, EveryWayThroughLeavesItsAnswerAndState) {
    const std::string home = "ask|search|confirm HomeNet";
    const std::string applyHome = "|apply HomeNet/horse";
    const std::string applyCafe = "|apply Cafe Corner/latte";
    const std::string manual = "connect-failed|search|choose-manual,Cafe Corner";
    using E = Entry;
    // clang-format off
    const Row rows[] = {
        {"retry later", E::kFailure, 1, {}, 0, "retry-later", 1, 0, 0x08, Cancel(0x82080103)},
        {"USB: question cancelled", E::kFailure, 0, {.ask = false}, 0, "ask", 2, 0, 0,
         Cancel(0x82080104)},
        {"USB: no access point", E::kUsbRetry, 0, {.searches = {kNothing}}, 0, "ask|search|no-ap",
         5, 0},
        {"USB: PC network confirmed and applied", E::kUsbRetry, 0,
         {.searches = {kHome}, .confirms = {kConfirmUseNetwork}, .applies = {kApplied}}, 1,
         home + applyHome, 3, 1},
        {"USB: confirmation cancelled", E::kUsbRetry, 0, {.searches = {kHome}, .confirms = {kCancel}},
         0, home, 3, 0},
        {"USB: manual setup from the confirmation", E::kUsbRetry, 0,
         {.searches = {kHome}, .confirms = {kManualSetup}, .choices = {kNetworkChosen},
          .applies = {kApplied}},
         1, home + "|choose-manual,HomeNet,Cafe Corner" + applyCafe, 6, 1},
        {"USB: manual setup, Escape", E::kUsbRetry, 0,
         {.searches = {kHome}, .confirms = {kManualSetup}, .choices = {kClosed}}, 0,
         home + "|choose-manual,HomeNet,Cafe Corner", 6, 0},
        {"USB: PC network not seen, chosen", E::kUsbRetry, 0,
         {.searches = {kOthers}, .choices = {kNetworkChosen}, .applies = {kApplied}}, 1,
         "ask|search|choose-notseen,Cafe Corner" + applyCafe, 7, 1},
        {"USB: PC network not seen, Cancel", E::kUsbRetry, 0,
         {.searches = {kOthers}, .choices = {kNetworkCancel}}, 0,
         "ask|search|choose-notseen,Cafe Corner", 7, 0},
        {"USB: apply fails, connect-failed cancelled", E::kUsbRetry, 0,
         {.searches = {kHome}, .confirms = {kConfirmUseNetwork}, .connectFailed = {kCancel},
          .applies = {0}},
         0, home + applyHome + "|connect-failed", 4, 0},
        {"USB: apply fails, the second by hand succeeds", E::kUsbRetry, 0,
         {.searches = {kHome, kOthers}, .confirms = {kConfirmUseNetwork},
          .choices = {kNetworkChosen}, .connectFailed = {kManualSetup}, .applies = {0, kApplied}},
         1, home + applyHome + "|" + manual + applyCafe, 6, 1},
        {"USB: apply fails, then the printer sees nothing", E::kUsbRetry, 0,
         {.searches = {kHome, kNothing}, .confirms = {kConfirmUseNetwork},
          .connectFailed = {kManualSetup}, .applies = {0}},
         0, home + applyHome + "|connect-failed|search|no-ap", 5, 0},
        {"USB: the search task raises", E::kUsbRetry, 0, {.searchThrows = true}, 0,
         "ask|search|failure", 2, 0, 0x10},
        {"failed recovery: round the loop twice, each search afresh", E::kFailure, 1,
         {.searches = {kHome, kOthers}, .choices = {kNetworkChosen, kNetworkChosen},
          .connectFailed = {kManualSetup, kManualSetup}, .applies = {0, kApplied}},
         1, "connect-failed|search|choose-manual,HomeNet,Cafe Corner" + applyCafe + "|" + manual +
             applyCafe,
         6, 1, 0, Cancel(0x82080106)},
        {"failed recovery: connect-failed closed", E::kUsbRetryFailed, 1,
         {.connectFailed = {kClosed}}, 0, "connect-failed", 4, 0},
        {"setup flow: cancelled, the retry state left", E::kSetupWifi, 1,
         {.connectFailed = {kCancel}}, 0, "connect-failed", 4, 1},
        {"setup flow: network name cancelled", E::kSetupWifi, 1,
         {.searches = {kOthers}, .choices = {kNetworkCancel}, .connectFailed = {kManualSetup}}, 0,
         manual, 6, 0},
        {"setup flow: the apply task raises", E::kSetupWifi, 1,
         {.searches = {kOthers}, .choices = {kNetworkChosen}, .connectFailed = {kManualSetup},
          .applyThrows = true},
         0, manual + applyCafe + "|failure", 6, 0, 0x10},
        {"cancelled", E::kFailure, 1, {}, 0, "", 1, 0, 0, Cancel(0x82080102)},
        {"request cancelled", E::kFailure, 1, {}, 0, "", 1, 0, 0,
         std::make_exception_ptr(qelhttp::qel_operation_canceled(L"Http : Request Canceled."))},
        {"server failure", E::kFailure, 1, {}, 0, "failure", 1, 1, 0x10,
         std::make_exception_ptr(qelhttp::http_exception(0x80030010, L"Network Error"))},
        {"the program itself failed", E::kFailure, 1, {}, 0, "failure", 1, 0, 0x10,
         std::make_exception_ptr(std::bad_alloc())},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        {
            SCOPED_TRACE("printer list: the application facts");
            Script script(row.answers);
            qelinfo::ApplicationInfo facts;
            facts.SetUsbRetried(row.retriedBefore);
            FactsRecoveryState state(facts);
            WifiRecovery recovery(script, script, state);
            EXPECT_EQ(RunEntry(row, recovery), row.result);
            EXPECT_EQ(script.log, row.log);
            EXPECT_EQ(*facts.GetUserAction(), row.userAction);
            EXPECT_EQ(*facts.GetUsbRetried(), row.retriedAfter);
            EXPECT_EQ(facts.GetSendInfoCode(), qelinfo::kSendInfoNone);
        }
        {
            SCOPED_TRACE("invitation screen: the controller's fields");
            Script script(row.answers);
            unsigned char usbRetryFlag = static_cast<unsigned char>(row.retriedBefore);
            int userAction = 1;
            int sendInfo = 0x02; // the agreement given in the dialog stays
            ControllerRecoveryState state(usbRetryFlag, userAction, sendInfo);
            WifiRecovery recovery(script, script, state);
            EXPECT_EQ(RunEntry(row, recovery), row.result);
            EXPECT_EQ(script.log, row.log);
            EXPECT_EQ(userAction, row.userAction);
            EXPECT_EQ(usbRetryFlag, row.retriedAfter);
            EXPECT_EQ(sendInfo, 0x02 | row.sendInfoBits);
        }
    }
}

TEST(AccessPointNames, StopAtTheFirstEmptyNameAndAtTheBuffersEnd) {
    AccessPointBuffer buffer{};
    EXPECT_TRUE(AccessPointNames(buffer).empty());
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        std::wcsncpy(buffer[i].ssid, (L"AP" + std::to_wstring(i)).c_str(), 32);
    }
    EXPECT_EQ(AccessPointNames(buffer).size(), 100u);
    EXPECT_EQ(AccessPointNames(buffer).back(), L"AP99");
    EXPECT_EQ(AccessPointNames(buffer.data(), 250).size(), 100u); // never past 100
    EXPECT_EQ(AccessPointNames(buffer.data(), 3).size(), 3u);     // never past the count
    buffer[7].ssid[0] = L'\0';
    EXPECT_EQ(AccessPointNames(buffer).size(), 7u);
    // A name that fills its field to the end, without a terminator, still ends there.
    std::fill(std::begin(buffer[0].ssid), std::end(buffer[0].ssid), L'x');
    EXPECT_EQ(AccessPointNames(buffer).front(), std::wstring(33, L'x'));
}

} // namespace
