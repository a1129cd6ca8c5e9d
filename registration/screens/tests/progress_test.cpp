// The progress dialogs and the helper every screen runs its background work with, under the
// robot: nothing but the finished task closes them, the task's value or exception comes back to
// the caller, and no timer or stack entry is left behind.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>

#include "qelcmn/exceptions.h"
#include "resource.h"
#include "screens/progress_callback.h"
#include "screens/progress_dialog.h"
#include "screens/run_with_progress.h"
#include "testkit/dialog_robot.h"
#include "testkit/text_ids.h"
#include "ui/dialog_stack.h"

namespace {

using qelscreens::ProgressDialog;
using qeltest::DialogView;
using qeltest::TextId;

class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(texts_.Load(qeltest::kTextIdsLanguage)); }
    qelui::TextLibrary texts_;
};

// An operation that is done once the test says so; counts how often it was asked.
class HeldOperation final : public qelscreens::PollingCallBack {
public:
    bool IsDone() override {
        ++polls;
        if (released) {
            ++pollsAfterRelease;
        }
        return released;
    }
    void Cancel() override {}
    bool released = false;
    int polls = 0;
    int pollsAfterRelease = 0;
};

struct Kind {
    const char* what;
    ProgressDialog which;
    int bar;
    SIZE size;     // of the template, in dialog units
    RECT barUnits; // x, y, width, height
};
const Kind kKinds[] = {
    {"search", ProgressDialog::kSearch, IDC_SEARCH_PROGRESS_BAR, {241, 50}, {12, 18, 214, 14}},
    {"status", ProgressDialog::kStatus, IDC_STATUS_PROGRESS_BAR, {237, 44}, {6, 22, 224, 13}}};

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

TEST_F(ProgressTest, OnlyTheFinishedOperationClosesTheDialog) {
    struct Case {
        const Kind& kind;
        std::wstring title;
        const wchar_t* screenshot;
    };
    const Case cases[] = {{kKinds[0], L"", L"progress-search.bmp"},
                          {kKinds[1], L"", L"progress-status.bmp"},
                          {kKinds[1], L"[11401]", L"progress-status-title.bmp"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind.what);
        HeldOperation operation;
        qelscreens::DialogTimer timer;
        timer.SetTextLibrary(&texts_);
        timer.SetCallback(&operation);
        timer.SetTitle(c.title);
        HWND shown = nullptr;
        qeltest::DialogRobot robot;
        robot.ThenOn(IDC_PROGRESS_MESSAGE, "read the dialog", [&](DialogView& v) {
            shown = v.Handle();
            EXPECT_TRUE(timer.Polling());
            // The caption is the title, also when it is empty: never the template's.
            EXPECT_EQ(v.Caption(), c.title);
            EXPECT_EQ(v.Text(IDC_PROGRESS_MESSAGE), TextId(11201));
            EXPECT_EQ(v.ClassName(c.kind.bar), L"msctls_progress32");
            const RECT whole = v.FromDialogUnits(0, 0, c.kind.size.cx, c.kind.size.cy);
            EXPECT_EQ(v.ClientSize().cx, whole.right);
            EXPECT_EQ(v.ClientSize().cy, whole.bottom);
            EXPECT_EQ(Describe(v.Rect(IDC_PROGRESS_MESSAGE)),
                      Describe(v.FromDialogUnits(6, 5, 226, 11)));
            const RECT& bar = c.kind.barUnits;
            EXPECT_EQ(Describe(v.Rect(c.kind.bar)),
                      Describe(v.FromDialogUnits(bar.left, bar.top, bar.right, bar.bottom)));
            // (The bar's template border is the bar's own business once made: a themed bar
            // draws its frame itself and drops the border styles.)
            EXPECT_NE(v.Style(c.kind.bar) & PBS_MARQUEE, 0);
            EXPECT_EQ(v.DialogStyle() & WS_SYSMENU, 0);
            HMENU menu = ::GetSystemMenu(v.Handle(), FALSE);
            for (UINT command : {SC_CLOSE, SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE}) {
                EXPECT_EQ(menu ? ::GetMenuState(menu, command, MF_BYCOMMAND) : UINT(-1), UINT(-1))
                    << command;
            }
            EXPECT_TRUE(v.Screenshot(c.screenshot));
        });
        robot.ThenEveryCloseRequest(IDC_PROGRESS_MESSAGE, shown);
        robot.ThenOn(IDC_PROGRESS_MESSAGE, "still open; the operation ends", [&](DialogView& v) {
            EXPECT_EQ(v.Handle(), shown);
            EXPECT_EQ(operation.pollsAfterRelease, 0);
            operation.released = true;
        });
        EXPECT_EQ(timer.DoModal(c.kind.which, nullptr), 1);
        EXPECT_EQ(operation.pollsAfterRelease, 1); // the first poll that finds it done closes
        EXPECT_FALSE(timer.Polling());
        EXPECT_FALSE(::IsWindow(shown));
        EXPECT_EQ(qelui::DialogStack::Instance().size(), 1u);
        timer.Reset();
        EXPECT_EQ(timer.Texts(), nullptr);
    }
}

TEST_F(ProgressTest, ATaskThatIsDoneAtOnceStillShowsUntilTheFirstPoll) {
    for (const auto& kind : kKinds) {
        SCOPED_TRACE(kind.what);
        qeltest::DialogRobot robot;
        const int value = qelscreens::RunWithProgress(kind.which, nullptr, &texts_, L"[11401]",
                                                      [](qelscreens::CancelFlag* cancel) {
                                                          EXPECT_EQ(cancel->load(), 0);
                                                          std::promise<int> done;
                                                          done.set_value(42);
                                                          return done.get_future();
                                                      });
        EXPECT_EQ(value, 42);
        ASSERT_EQ(robot.Seen().size(), 1u);
        EXPECT_EQ(robot.Seen().front().caption, L"[11401]");
        EXPECT_EQ(qelui::DialogStack::Instance().size(), 1u);
    }
}

TEST_F(ProgressTest, TheTasksValueOrExceptionComesBackToTheCaller) {
    for (const auto& kind : kKinds) {
        SCOPED_TRACE(kind.what);
        qeltest::DialogRobot robot;
        const std::wstring text = qelscreens::RunWithProgress(
            kind.which, nullptr, &texts_, L"", [](qelscreens::CancelFlag*) {
                return std::async(std::launch::async, [] {
                    std::this_thread::yield();
                    return std::wstring(L"https://sim.example/registered");
                });
            });
        EXPECT_EQ(text, L"https://sim.example/registered");

        try {
            qelscreens::RunWithProgress(
                kind.which, nullptr, &texts_, L"", [](qelscreens::CancelFlag*) {
                    return std::async(std::launch::async, []() -> int {
                        throw qelhttp::qel_operation_canceled(L"Http : Request Canceled.");
                    });
                });
            ADD_FAILURE() << "the task's exception did not come back";
        } catch (const qelhttp::qel_operation_canceled& e) {
            EXPECT_EQ(e.ucode(), qelhttp::kCodeOperationCanceled);
            EXPECT_EQ(e.message(), L"Http : Request Canceled.");
        }
        EXPECT_EQ(robot.Seen().size(), 2u);
        EXPECT_TRUE(qeltest::ThreadDialogs().empty());
        EXPECT_EQ(qelui::DialogStack::Instance().size(), 1u);
    }
}

TEST_F(ProgressTest, AFutureWithoutATaskRaisesBeforeAnyDialog) {
    qeltest::DialogRobot robot;
    try {
        qelscreens::RunWithProgress(ProgressDialog::kStatus, nullptr, &texts_, L"",
                                    [](qelscreens::CancelFlag*) { return std::future<int>(); });
        ADD_FAILURE() << "no exception";
    } catch (const std::future_error& e) {
        EXPECT_EQ(e.code(), std::future_errc::no_state);
    }
    EXPECT_TRUE(robot.Seen().empty());
}

TEST(ProgressCallback, PollsWithoutWaitingAndCancelsThroughTheFlag) {
    std::promise<int> promise;
    qelscreens::CancelFlag cancel{0};
    qelscreens::ProgressCB<int> callback(promise.get_future().share(), &cancel);
    EXPECT_FALSE(callback.IsDone());
    callback.Cancel();
    EXPECT_EQ(cancel.load(), 1);
    callback.Cancel(); // asking twice changes nothing
    EXPECT_EQ(cancel.load(), 1);
    promise.set_exception(std::make_exception_ptr(std::runtime_error("failed")));
    EXPECT_TRUE(callback.IsDone()); // done with an exception is done

    qelscreens::ProgressCB<int> empty(std::shared_future<int>(), nullptr);
    EXPECT_THROW(empty.IsDone(), std::future_error);
    empty.Cancel(); // no flag: nothing to set
}

} // namespace
