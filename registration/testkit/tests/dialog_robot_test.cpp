// The robot itself, on a dialog made in memory and on message boxes: what it reads, the input
// it gives, and the failures it reports instead of letting a test hang or pass by accident.
#include <windows.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <vector>

#include "testkit/dialog_robot.h"

namespace {

using namespace std::chrono_literals;
using qeltest::DialogRobot;
using qeltest::DialogView;

constexpr int kEdit = 100;
constexpr int kCheck = 101;
constexpr int kDisabled = 102;

// A dialog template in memory: a limited edit, a check box, a disabled button and OK / Cancel.
class Template {
public:
    Template() {
        Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
        Dword(0);
        words_.push_back(5); // controls
        Box(0, 0, 200, 90);
        words_.push_back(0); // no menu
        words_.push_back(0); // the dialog class
        Text(L"Robot test");
        words_.push_back(8);
        Text(L"MS Shell Dlg");
        Item(0x81, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kEdit, 10, 10, 120, 14, L"");
        Item(0x80, BS_AUTOCHECKBOX | WS_TABSTOP, kCheck, 10, 30, 120, 12, L"Check");
        Item(0x80, BS_PUSHBUTTON | WS_DISABLED, kDisabled, 10, 50, 60, 14, L"Off");
        Item(0x80, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 80, 70, 50, 14, L"OK");
        Item(0x80, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 140, 70, 50, 14, L"Cancel");
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Dword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void Box(short x, short y, short cx, short cy) {
        for (short v : {x, y, cx, cy}) {
            words_.push_back(static_cast<WORD>(v));
        }
    }
    void Text(const wchar_t* text) {
        while (*text != L'\0') {
            words_.push_back(*text++);
        }
        words_.push_back(0);
    }
    void Item(WORD atom, DWORD style, WORD id, short x, short y, short cx, short cy,
              const wchar_t* text) {
        if (words_.size() % 2 != 0) {
            words_.push_back(0); // items start on a DWORD boundary
        }
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Box(x, y, cx, cy);
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(atom);
        Text(text);
        words_.push_back(0); // no creation data
    }
    std::vector<WORD> words_;
};

INT_PTR CALLBACK TestProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept {
    if (message == WM_INITDIALOG) {
        ::SendDlgItemMessageW(dialog, kEdit, EM_LIMITTEXT, 3, 0);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR OpenTestDialog() {
    static const Template dialog;
    return ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog.get(), nullptr,
                                     &TestProcedure, 0);
}

TEST(DialogRobot, ReadsStatesTypesClicksAndPressesKeys) {
    struct Case {
        const char* what;
        UINT finalKey;
        INT_PTR result;
    };
    const Case cases[] = {{"Enter", VK_RETURN, IDOK}, {"Escape", VK_ESCAPE, IDCANCEL}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DialogRobot robot;
        robot.ThenOn(kEdit, "type and tick", [](DialogView& v) {
            EXPECT_EQ(v.Caption(), L"Robot test");
            EXPECT_FALSE(v.IsMessageBox());
            EXPECT_EQ(v.ClassName(kEdit), L"Edit");
            EXPECT_TRUE(v.HasBorder(kEdit));
            EXPECT_TRUE(v.Enabled(kCheck));
            EXPECT_FALSE(v.Enabled(kDisabled));
            EXPECT_FALSE(v.Checked(kCheck));
            EXPECT_FALSE(v.Has(999));
            EXPECT_EQ(v.Text(999), L"");
            v.Type(kEdit, L"abcdef");
            v.Click(kCheck);
        });
        robot.ThenOn(kEdit, "see the effects", [](DialogView& v) {
            EXPECT_EQ(v.Text(kEdit), L"abc"); // the edit's limit holds
            EXPECT_TRUE(v.Checked(kCheck));
            EXPECT_TRUE(v.Focused(kCheck)); // a click focuses the button, as the mouse does
            v.Click(kCheck);
        });
        robot.ThenOn(kEdit, "untick and leave", [&](DialogView& v) {
            EXPECT_FALSE(v.Checked(kCheck));
            v.Key(c.finalKey);
        });
        EXPECT_EQ(OpenTestDialog(), c.result);
    }
}

TEST(DialogRobot, ReadsAndAnswersMessageBoxes) {
    DialogRobot robot;
    robot.ThenOnMessageBox("read and answer No", [](DialogView& v) {
        EXPECT_TRUE(v.IsMessageBox());
        EXPECT_EQ(v.Caption(), L"Box caption");
        EXPECT_EQ(v.MessageText(), L"Register the printer?");
        EXPECT_TRUE(v.Has(IDYES));
        EXPECT_TRUE(v.Has(IDNO));
        EXPECT_FALSE(v.Has(IDCANCEL));
        EXPECT_TRUE(v.Screenshot(L"robot-message-box.bmp"));
        v.Click(IDNO);
    });
    EXPECT_EQ(::MessageBoxW(nullptr, L"Register the printer?", L"Box caption",
                            MB_YESNO | MB_ICONQUESTION),
              IDNO);
    EXPECT_EQ(robot.Seen().size(), 1u);
}

TEST(DialogRobot, ReportsWhatWentWrongInsteadOfHanging) {
    // A dialog nobody answers: the watchdog ends it and fails the test.
    EXPECT_NONFATAL_FAILURE(
        {
            DialogRobot robot(DialogRobot::Options{20ms, 300ms});
            ::MessageBoxW(nullptr, L"nobody answers", L"unexpected", MB_OK);
            EXPECT_TRUE(robot.WatchdogFired());
        },
        "watchdog: 'unexpected' stayed open");
    // A step whose dialog never came.
    EXPECT_NONFATAL_FAILURE(
        {
            DialogRobot robot;
            robot.Then("answer a box that never shows", [](DialogView&) {});
        },
        "step 'answer a box that never shows' never ran");
    // A click a user could not make, and a step that throws.
    EXPECT_NONFATAL_FAILURE(
        {
            DialogRobot robot;
            robot.ThenOn(kEdit, "click the disabled button",
                         [](DialogView& v) { v.Click(kDisabled); });
            robot.ThenOn(kEdit, "leave", [](DialogView& v) { v.Key(VK_ESCAPE); });
            OpenTestDialog();
        },
        "cannot click control 102");
    EXPECT_NONFATAL_FAILURE(
        {
            DialogRobot robot;
            robot.ThenOn(kEdit, "throw", [](DialogView& v) {
                v.Key(VK_ESCAPE);
                throw std::runtime_error("step failed");
            });
            OpenTestDialog();
        },
        "step raised: step failed");
}

} // namespace
