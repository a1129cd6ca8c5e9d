// What a registering screen does after a failed registration, the Wi-Fi recovery above all, over
// scripted screens and device steps: what it shows and runs in which order, what it answers, and
// the user action, USB retry state and send-info bits it leaves, the same through the state of
// the printer list (the application facts) and of the invitation screen (its controller's
// fields).
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <deque>
#include <functional>
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

// One search: its result code, the matched network and the names the printer saw.
struct SearchAnswer {
    int code;
    std::vector<std::wstring> names;
};
// One answer of the network-name dialog.
struct Choice {
    int answer;
    std::wstring name;
    std::wstring key;
};

constexpr int kFound = printerutil::kResultAccessPointFound;
constexpr int kApplied = printerutil::kResultAccessPointApplied;
const SearchAnswer kSeesHome{kFound, {L"HomeNet", L"Cafe Corner", L"Neighbour-5G"}};
const SearchAnswer kSeesOthers{0, {L"Cafe Corner", L"Neighbour-5G"}};
const SearchAnswer kSeesNothing{0, {}};
const Choice kCafe{kNetworkChosen, L"Cafe Corner", L"latte"};

// Screens and steps that answer from the script and log what was shown and run.
class Script final : public IWifiScreens, public IAccessPointSteps {
public:
    bool ask = true;
    std::deque<SearchAnswer> searches;
    std::deque<int> confirms;
    std::deque<Choice> choices;
    std::deque<int> connectFailed;
    std::deque<int> applies;
    bool searchThrows = false;
    bool applyThrows = false;
    std::vector<std::string> log;

    void ShowRetryLater() override { log.push_back("retry-later"); }
    bool AskToConnect() override {
        log.push_back("ask");
        return ask;
    }
    void ShowNoAccessPoint() override { log.push_back("no-ap"); }
    void ShowFailure() override { log.push_back("failure"); }
    int ConfirmNetwork(const std::wstring& ssid) override {
        log.push_back("confirm " + Narrow(ssid));
        return Next(confirms);
    }
    int ChooseNetwork(const AccessPointBuffer& accessPoints, bool notSeen, std::wstring& name,
                      std::wstring& key) override {
        std::string offered;
        for (const auto& n : AccessPointNames(accessPoints)) {
            offered += "," + Narrow(n);
        }
        log.push_back(std::string(notSeen ? "choose-notseen" : "choose-manual") + offered);
        const Choice choice = Next(choices);
        if (choice.answer == kNetworkChosen) {
            name = choice.name;
            key = choice.key;
        }
        return choice.answer;
    }
    int ConnectFailed() override {
        log.push_back("connect-failed");
        return Next(connectFailed);
    }
    printerutil::stRegSeqResult Search(std::wstring& ssid, std::wstring& key,
                                       AccessPointBuffer& accessPoints) override {
        log.push_back("search");
        EXPECT_TRUE(ssid.empty() && key.empty());
        for (const auto& entry : accessPoints) {
            EXPECT_EQ(entry.ssid[0], L'\0') << "the buffer of a search starts zeroed";
        }
        if (searchThrows) {
            throw std::runtime_error("search task failed");
        }
        const SearchAnswer s = Next(searches);
        for (std::size_t i = 0; i < s.names.size(); ++i) {
            wcsncpy(accessPoints[i].ssid, s.names[i].c_str(), 32);
        }
        if (s.code == kFound) {
            ssid = L"HomeNet";
            key = L"correct horse";
        }
        return {0, s.code, L"", L""};
    }
    printerutil::stRegSeqResult Apply(const std::wstring& ssid, const std::wstring& key) override {
        log.push_back("apply " + Narrow(ssid) + "/" + Narrow(key));
        if (applyThrows) {
            throw std::runtime_error("apply task failed");
        }
        return {0, Next(applies), L"", L""};
    }

private:
    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
    template <typename T> static T Next(std::deque<T>& answers) {
        if (answers.empty()) {
            ADD_FAILURE() << "the script has no more answers";
            return T{};
        }
        T next = answers.front();
        answers.pop_front();
        return next;
    }
};

enum class Entry { kUsbRetry, kUsbRetryFailed, kSetupWifi, kFailure };

struct Row {
    const char* name;
    Entry entry;
    int retriedBefore;
    Script script;
    int result; // 1 / 0 (true / false for the entries that answer so)
    std::string log;
    int userAction;
    int retriedAfter;
    int sendInfoBits = 0; // what the invitation screen records
    std::exception_ptr failure = nullptr; // of the registration, for kFailure
};

std::string Joined(const std::vector<std::string>& log) {
    std::string joined;
    for (const auto& line : log) {
        joined += (joined.empty() ? "" : "|") + line;
    }
    return joined;
}

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

std::exception_ptr Cancel(std::uint32_t code) {
    return std::make_exception_ptr(qelcmn::qel_cancel(code, L"outcome"));
}

Script With(std::function<void(Script&)> fill) {
    Script s;
    fill(s);
    return s;
}

TEST(WifiRecovery, EveryWayThroughLeavesItsAnswerAndState) {
    const std::string askAndSearch = "ask|search";
    const std::string homeApplied = "|confirm HomeNet|apply HomeNet/correct horse";
    const std::string chooseCafe = ",Cafe Corner,Neighbour-5G";
    const Row rows[] = {
        {"question cancelled", Entry::kUsbRetry, 0, With([](Script& s) { s.ask = false; }), 0,
         "ask", kActionAsked, 0},
        {"no access point", Entry::kUsbRetry, 0,
         With([](Script& s) { s.searches = {kSeesNothing}; }), 0, askAndSearch + "|no-ap",
         kActionNoAccessPoint, 0},
        {"PC network confirmed and applied", Entry::kUsbRetry, 0, With([](Script& s) {
             s.searches = {kSeesHome};
             s.confirms = {kConfirmUseNetwork};
             s.applies = {kApplied};
         }),
         1, askAndSearch + homeApplied, kActionConfirmAnswered, 1},
        {"confirmation cancelled", Entry::kUsbRetry, 0, With([](Script& s) {
             s.searches = {kSeesHome};
             s.confirms = {kCancel};
         }),
         0, askAndSearch + "|confirm HomeNet", kActionConfirmAnswered, 0},
        {"confirmation closed", Entry::kUsbRetry, 0, With([](Script& s) {
             s.searches = {kSeesHome};
             s.confirms = {kClosed};
         }),
         0, askAndSearch + "|confirm HomeNet", kActionConfirmAnswered, 0},
        {"manual setup from the confirmation", Entry::kUsbRetry, 0, With([](Script& s) {
             s.searches = {kSeesHome};
             s.confirms = {kManualSetup};
             s.choices = {kCafe};
             s.applies = {kApplied};
         }),
         1,
         askAndSearch + "|confirm HomeNet|choose-manual,HomeNet" + chooseCafe +
             "|apply Cafe Corner/latte",
         kActionManualSetup, 1},
        {"manual setup cancelled", Entry::kUsbRetry, 0, With([](Script& s) {
             s.searches = {kSeesHome};
             s.confirms = {kManualSetup};
             s.choices = {{kNetworkCancel, L"", L""}};
         }),
         0, askAndSearch + "|confirm HomeNet|choose-manual,HomeNet" + chooseCafe,
         kActionManualSetup, 0},
        {"PC network not seen, chosen", Entry::kUsbRetry, 0, With([](Script& s) {
             s.searches = {kSeesOthers};
             s.choices = {kCafe};
             s.applies = {kApplied};
         }),
         1, askAndSearch + "|choose-notseen" + chooseCafe + "|apply Cafe Corner/latte",
         kActionNetworkNotSeen, 1},
        {"PC network not seen, Escape", Entry::kUsbRetry, 0, With([](Script& s) {
             s.searches = {kSeesOthers};
             s.choices = {{kClosed, L"", L""}};
         }),
         0, askAndSearch + "|choose-notseen" + chooseCafe, kActionNetworkNotSeen, 0},
        {"apply fails, connect-failed cancelled", Entry::kUsbRetry, 0, With([](Script& s) {
             s.searches = {kSeesHome};
             s.confirms = {kConfirmUseNetwork};
             s.applies = {0};
             s.connectFailed = {kCancel};
         }),
         0, askAndSearch + homeApplied + "|connect-failed", kActionApplyFailed, 0},
        {"apply fails, then succeeds by hand", Entry::kUsbRetry, 0, With([](Script& s) {
             s.searches = {kSeesHome, kSeesOthers};
             s.confirms = {kConfirmUseNetwork};
             s.applies = {0, kApplied};
             s.connectFailed = {kManualSetup};
             s.choices = {kCafe};
         }),
         1,
         askAndSearch + homeApplied + "|connect-failed|search|choose-manual" + chooseCafe +
             "|apply Cafe Corner/latte",
         kActionManualSetup, 1},
        {"apply fails, then the printer sees nothing", Entry::kUsbRetry, 0, With([](Script& s) {
             s.searches = {kSeesHome, kSeesNothing};
             s.confirms = {kConfirmUseNetwork};
             s.applies = {0};
             s.connectFailed = {kManualSetup};
         }),
         0, askAndSearch + homeApplied + "|connect-failed|search|no-ap", kActionNoAccessPoint, 0},
        {"round the loop twice; each search starts afresh", Entry::kUsbRetryFailed, 1,
         With([](Script& s) {
             s.searches = {kSeesHome, SearchAnswer{0, {L"Neighbour-5G"}}};
             s.connectFailed = {kManualSetup, kManualSetup};
             s.choices = {kCafe, {kNetworkChosen, L"Neighbour-5G", L"k"}};
             s.applies = {0, kApplied};
         }),
         1,
         "connect-failed|search|choose-manual,HomeNet" + chooseCafe +
             "|apply Cafe Corner/latte|connect-failed|search|choose-manual,Neighbour-5G"
             "|apply Neighbour-5G/k",
         kActionManualSetup, 1},
        {"failed recovery, connect-failed closed", Entry::kUsbRetryFailed, 1,
         With([](Script& s) { s.connectFailed = {kClosed}; }), 0, "connect-failed",
         kActionApplyFailed, 0},
        {"failed recovery, network name cancelled", Entry::kUsbRetryFailed, 1,
         With([](Script& s) {
             s.searches = {kSeesOthers};
             s.connectFailed = {kManualSetup};
             s.choices = {{kNetworkCancel, L"", L""}};
         }),
         0, "connect-failed|search|choose-manual" + chooseCafe, kActionManualSetup, 0},
        {"setup flow cancelled leaves the retry state", Entry::kSetupWifi, 1,
         With([](Script& s) { s.connectFailed = {kCancel}; }), 0, "connect-failed",
         kActionApplyFailed, 1},
        {"setup flow applies", Entry::kSetupWifi, 1, With([](Script& s) {
             s.searches = {kSeesOthers};
             s.connectFailed = {kManualSetup};
             s.choices = {kCafe};
             s.applies = {kApplied};
         }),
         1, "connect-failed|search|choose-manual" + chooseCafe + "|apply Cafe Corner/latte",
         kActionManualSetup, 1},
        {"search task raises", Entry::kUsbRetry, 0, With([](Script& s) { s.searchThrows = true; }),
         0, askAndSearch + "|failure", kActionAsked, 0, 0x10},
        {"apply task raises in the setup flow", Entry::kSetupWifi, 1, With([](Script& s) {
             s.searches = {kSeesOthers};
             s.connectFailed = {kManualSetup};
             s.choices = {kCafe};
             s.applyThrows = true;
         }),
         0, "connect-failed|search|choose-manual" + chooseCafe + "|apply Cafe Corner/latte|failure",
         kActionManualSetup, 0, 0x10},
        {"registration: retry later", Entry::kFailure, 1, Script{}, 0, "retry-later", 1, 0, 0x08,
         Cancel(qelcmn::kCodeRetry)},
        {"registration: USB printer without Internet", Entry::kFailure, 0,
         With([](Script& s) { s.ask = false; }), 0, "ask", kActionAsked, 0, 0,
         Cancel(qelcmn::kCodeUsbRetry)},
        {"registration: still without Internet after a recovery", Entry::kFailure, 1,
         With([](Script& s) {
             s.searches = {kSeesOthers};
             s.connectFailed = {kManualSetup};
             s.choices = {kCafe};
             s.applies = {kApplied};
         }),
         1, "connect-failed|search|choose-manual" + chooseCafe + "|apply Cafe Corner/latte",
         kActionManualSetup, 1, 0, Cancel(qelcmn::kCodeUsbRetryFailed)},
        {"registration cancelled", Entry::kFailure, 1, Script{}, 0, "", 1, 0, 0,
         Cancel(qelcmn::kCodeCancelled)},
        {"request cancelled", Entry::kFailure, 1, Script{}, 0, "", 1, 0, 0,
         std::make_exception_ptr(qelhttp::qel_operation_canceled(L"Http : Request Canceled."))},
        {"server failure", Entry::kFailure, 1, Script{}, 0, "failure", 1, 1, 0x10,
         std::make_exception_ptr(qelhttp::http_exception(qelhttp::kCodeNetworkError, L"N"))},
        {"the program itself failed", Entry::kFailure, 1, Script{}, 0, "failure", 1, 0, 0x10,
         std::make_exception_ptr(std::bad_alloc())},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        {
            SCOPED_TRACE("printer list: the application facts");
            Script script = row.script;
            qelinfo::ApplicationInfo facts;
            facts.SetUsbRetried(row.retriedBefore);
            FactsRecoveryState state(facts);
            WifiRecovery recovery(script, script, state);
            EXPECT_EQ(RunEntry(row, recovery), row.result);
            EXPECT_EQ(Joined(script.log), row.log);
            EXPECT_EQ(*facts.GetUserAction(), row.userAction);
            EXPECT_EQ(*facts.GetUsbRetried(), row.retriedAfter);
            EXPECT_EQ(facts.GetSendInfoCode(), qelinfo::kSendInfoNone);
        }
        {
            SCOPED_TRACE("invitation screen: the controller's fields");
            Script script = row.script;
            unsigned char usbRetryFlag = static_cast<unsigned char>(row.retriedBefore);
            int userAction = 1;
            int sendInfo = 0x02; // the agreement given in the dialog stays
            ControllerRecoveryState state(usbRetryFlag, userAction, sendInfo);
            WifiRecovery recovery(script, script, state);
            EXPECT_EQ(RunEntry(row, recovery), row.result);
            EXPECT_EQ(Joined(script.log), row.log);
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
        const std::wstring name = L"AP" + std::to_wstring(i);
        wcsncpy(buffer[i].ssid, name.c_str(), 32);
    }
    const auto all = AccessPointNames(buffer);
    ASSERT_EQ(all.size(), 100u);
    EXPECT_EQ(all.back(), L"AP99");
    EXPECT_EQ(AccessPointNames(buffer.data(), 250).size(), 100u); // never past 100
    EXPECT_EQ(AccessPointNames(buffer.data(), 3).size(), 3u);     // never past the count
    buffer[7].ssid[0] = L'\0';
    EXPECT_EQ(AccessPointNames(buffer).size(), 7u);
    // A name that fills its field to the end, without a terminator, still ends there.
    std::fill(std::begin(buffer[0].ssid), std::end(buffer[0].ssid), L'x');
    EXPECT_EQ(AccessPointNames(buffer).front(), std::wstring(33, L'x'));
}

} // namespace
