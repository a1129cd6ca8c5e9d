// The dialog base under the robot: each controller serves only its own window, the stack stays
// balanced, exceptions come out of DoModal instead of unwinding through the system, fonts and
// view models live exactly as long as the window, and dialogs centre where a user can see them.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "qelcmn/exceptions.h"
#include "resource.h"
#include "screens/about_dialog.h"
#include "testkit/dialog_robot.h"
#include "ui/center_window.h"
#include "ui/dialog_controller.h"
#include "ui/dialog_stack.h"
#include "win/unique_any.h"

namespace {

using qelui::DialogStack;

constexpr UINT kOpenChild = WM_APP + 40;
constexpr UINT kProbe = WM_APP + 41;

using Entry = std::pair<std::string, UINT>;

// A controller over the About template that logs what it is sent and otherwise does what the
// test gives it.
class Recorder final : public qelui::DialogController {
public:
    using Behaviour = std::function<INT_PTR(Recorder&, UINT, WPARAM)>;

    Recorder(std::string name, std::vector<Entry>& log, Behaviour behaviour = {})
        : name_(std::move(name)), log_(log), behaviour_(std::move(behaviour)) {}

    INT_PTR Open(HWND owner) { return DoModal(IDD_ABOUT, owner); }
    using DialogController::End;
    using DialogController::OwnFont;

protected:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) override {
        log_.emplace_back(name_, message);
        if (behaviour_) {
            return behaviour_(*this, message, wParam);
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            End(IDOK);
        }
        return FALSE;
    }

private:
    std::string name_;
    std::vector<Entry>& log_;
    Behaviour behaviour_;
};

std::vector<Entry> Probes(const std::vector<Entry>& log) {
    std::vector<Entry> probes;
    for (const auto& entry : log) {
        if (entry.second == kProbe) {
            probes.push_back(entry);
        }
    }
    return probes;
}

const std::vector<qelui::DialogController*> kEmptyStack{nullptr};

TEST(DialogBase, EachDialogsMessagesReachItsOwnControllerWhileAnotherIsOpenOverIt) {
    std::vector<Entry> log;
    Recorder child("child", log);
    INT_PTR childResult = 0;
    Recorder owner("owner", log, [&](Recorder& self, UINT message, WPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            ::ShowWindow(self.Window(), SW_SHOW);
            ::PostMessageW(self.Window(), kOpenChild, 0, 0);
        } else if (message == kOpenChild) {
            childResult = child.Open(self.Window());
            self.End(7);
        }
        return FALSE;
    });

    qeltest::DialogRobot robot;
    robot.ThenWhen([&](const qeltest::DialogView& v) { return v.Handle() == child.Window(); },
                   "probe both dialogs while the child is open",
                   [&](qeltest::DialogView& v) {
                       EXPECT_EQ(v.Owner(), owner.Window());
                       EXPECT_EQ(DialogStack::Instance(),
                                 (std::vector<qelui::DialogController*>{nullptr, &owner, &child}));
                       EXPECT_EQ(DialogStack::Top(), &child);
                       ::SendMessageW(owner.Window(), kProbe, 0, 0);
                       ::SendMessageW(child.Window(), kProbe, 0, 0);
                       // Painting and colour queries of the disabled owner go to the owner too.
                       const std::size_t before = log.size();
                       ::RedrawWindow(owner.Window(), nullptr, nullptr,
                                      RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                       int colourQueries = 0;
                       for (std::size_t i = before; i < log.size(); ++i) {
                           EXPECT_EQ(log[i].first, "owner") << log[i].second;
                           colourQueries += log[i].second == WM_CTLCOLORSTATIC ? 1 : 0;
                       }
                       EXPECT_GT(colourQueries, 0);
                       v.Screenshot(L"dialog-base-nested.bmp");
                       v.Click(IDOK);
                   });
    EXPECT_EQ(owner.Open(nullptr), 7);
    EXPECT_EQ(childResult, IDOK);
    EXPECT_EQ(Probes(log), (std::vector<Entry>{{"owner", kProbe}, {"child", kProbe}}));
    // Messages before WM_INITDIALOG (WM_SETFONT among them) never reach a controller.
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), (Entry{"owner", WM_INITDIALOG}));
    for (const auto& [name, message] : log) {
        EXPECT_NE(message, static_cast<UINT>(WM_SETFONT)) << name;
    }
    EXPECT_EQ(log.back(), (Entry{"owner", WM_NCDESTROY}));
    EXPECT_EQ(owner.Window(), nullptr);
    EXPECT_EQ(child.Window(), nullptr);
    EXPECT_EQ(DialogStack::Instance(), kEmptyStack);
}

TEST(DialogBase, AnExceptionEndsItsDialogsAndComesOutOfDoModalWithTheStackBalanced) {
    struct Case {
        const char* what;
        UINT throwAt;    // the message at which the child throws
        bool clickChild; // the robot must press OK for the throw
    };
    const Case cases[] = {{"while initialising", WM_INITDIALOG, false},
                          {"on a command", WM_COMMAND, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Entry> log;
        Recorder child("child", log, [&](Recorder&, UINT message, WPARAM) -> INT_PTR {
            if (message == c.throwAt) {
                throw qelcmn::qel_cancel(qelcmn::kCodeRetry, L"Register Printer Retry.");
            }
            return FALSE;
        });
        bool ownerSawTheException = false;
        Recorder owner("owner", log, [&](Recorder& self, UINT message, WPARAM) -> INT_PTR {
            if (message == WM_INITDIALOG) {
                ::PostMessageW(self.Window(), kOpenChild, 0, 0);
            } else if (message == kOpenChild) {
                try {
                    child.Open(self.Window());
                } catch (...) {
                    ownerSawTheException = true;
                    throw; // on through the owner's own dialog
                }
            }
            return FALSE;
        });
        qeltest::DialogRobot robot;
        if (c.clickChild) {
            robot.ThenWhen(
                [&](const qeltest::DialogView& v) { return v.Handle() == child.Window(); },
                "press OK on the child", [](qeltest::DialogView& v) { v.Click(IDOK); });
        }
        try {
            owner.Open(nullptr);
            ADD_FAILURE() << "no exception came out";
        } catch (const qelcmn::qel_cancel& e) {
            EXPECT_EQ(e.ucode(), qelcmn::kCodeRetry);
            EXPECT_EQ(e.message(), L"Register Printer Retry.");
        }
        EXPECT_TRUE(ownerSawTheException);
        EXPECT_EQ(DialogStack::Instance(), kEmptyStack);
        EXPECT_TRUE(qeltest::ThreadDialogs().empty());
        EXPECT_EQ(owner.Window(), nullptr);
    }
}

class FakeViewModel final : public qelui::IDialogViewModel {
public:
    bool Initialize() override { return true; }
    void Attach(HWND dialog) override {
        calls.push_back(dialog != nullptr ? "attach" : "attach null");
    }
    void Detach() override { calls.push_back("detach"); }
    int OnNotify(int) override { return 0; }
    int OnCommand(int, int, int, int) override { return 0; }
    RECT* GetSavedRect(RECT* out) override { return out; }
    std::vector<std::string> calls;
};

TEST(DialogBase, ViewModelAndFontsLiveAsLongAsTheWindow) {
    std::vector<Entry> log;
    FakeViewModel viewModel;
    HFONT font = nullptr;
    Recorder dialog("dialog", log, [&](Recorder& self, UINT message, WPARAM wParam) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            EXPECT_EQ(viewModel.calls, std::vector<std::string>{"attach"});
            font = self.OwnFont(9, FW_BOLD);
        } else if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            self.End(IDOK);
        }
        return FALSE;
    });
    dialog.SetViewModel(&viewModel);
    qeltest::DialogRobot robot;
    robot.Then("the font is alive while the dialog shows", [&](qeltest::DialogView& v) {
        EXPECT_EQ(::GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
        v.Click(IDOK);
    });
    EXPECT_EQ(dialog.Open(nullptr), IDOK);
    EXPECT_EQ(viewModel.calls, (std::vector<std::string>{"attach", "detach"}));
    EXPECT_EQ(dialog.ViewModel(), nullptr);
    EXPECT_EQ(::GetObjectType(font), 0u);
}

TEST(CenterWindow, CentredOnTheReferenceAndKeptOnTheScreen) {
    const SIZE screen{1280, 1024};
    struct Case {
        RECT reference;
        SIZE window;
        POINT at;
    };
    const Case cases[] = {
        {{100, 100, 500, 400}, {200, 100}, {200, 200}},     // on a parent
        {{0, 0, 1280, 1024}, {600, 301}, {340, 361}},       // on the screen, odd sizes round down
        {{-300, -50, 100, 150}, {200, 100}, {0, 0}},        // would start off the screen
        {{1200, 900, 1600, 1100}, {200, 100}, {1080, 924}}, // would pass the right and bottom
        {{0, 0, 1280, 1024}, {1500, 1100}, {-220, -76}},    // larger than the screen
    };
    for (const auto& c : cases) {
        const POINT at = qelui::CenteredPosition(c.reference, c.window, screen);
        EXPECT_EQ(at.x, c.at.x) << c.reference.left << "," << c.reference.top;
        EXPECT_EQ(at.y, c.at.y) << c.reference.left << "," << c.reference.top;
    }
}

TEST(CenterWindow, OnAVisibleOwnerElseOnTheScreen) {
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    const qelwin::unique_hwnd messageOnly(::CreateWindowExW(
        0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    const qelwin::unique_hwnd hidden(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 50, 60, 300,
                                                       200, nullptr, nullptr, nullptr, nullptr));
    const qelwin::unique_hwnd shown(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 40,
                                                      30, 900, 700, nullptr, nullptr, nullptr,
                                                      nullptr));
    ASSERT_TRUE(messageOnly && hidden && shown);
    struct Case {
        const char* what;
        HWND owner;
        RECT reference;
    };
    const Case cases[] = {
        {"no owner", nullptr, {0, 0, screenWidth, screenHeight}},
        {"message-only owner", messageOnly.get(), {0, 0, screenWidth, screenHeight}},
        {"hidden owner", hidden.get(), {0, 0, screenWidth, screenHeight}},
        {"visible owner", shown.get(), {40, 30, 940, 730}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qeltest::DialogRobot robot;
        robot.Then("read where the dialog stands", [&](qeltest::DialogView& v) {
            RECT rect{};
            ::GetWindowRect(v.Handle(), &rect);
            const SIZE size{rect.right - rect.left, rect.bottom - rect.top};
            const POINT at =
                qelui::CenteredPosition(c.reference, size, {screenWidth, screenHeight});
            EXPECT_EQ(rect.left, at.x);
            EXPECT_EQ(rect.top, at.y);
            v.Key(VK_ESCAPE);
        });
        qelscreens::AboutDialog about(nullptr);
        EXPECT_EQ(about.DoModal(c.owner), IDCANCEL);
    }
}

} // namespace
