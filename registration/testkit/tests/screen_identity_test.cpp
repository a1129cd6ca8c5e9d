// The program driver tells every screen of the program apart: each dialog template the program
// holds by its controls, and message boxes by their text in the program's language or in the
// test language.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit/dialog_robot.h"
#include "testkit/screen_identity.h"
#include "testkit/text_ids.h"
#include "ui/TextLibrary.h"
#include "ui/text_ids.h"

namespace {

using qeltest::Box;
using qeltest::Dialog;
using qeltest::ScreenKey;

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) noexcept {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::vector<int> DialogTemplates() {
    std::vector<int> ids;
    ::EnumResourceNamesW(
        nullptr, RT_DIALOG,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
            if (IS_INTRESOURCE(name)) {
                reinterpret_cast<std::vector<int>*>(param)->push_back(
                    static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
            }
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

TEST(ScreenIdentity, EveryDialogOfTheProgramIsToldByItsTemplate) {
    const qeltest::ScreenIdentity identity(L"EN");
    const std::vector<int> templates = DialogTemplates();
    ASSERT_GE(templates.size(), 8u);
    for (int id : templates) {
        SCOPED_TRACE(id);
        HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           nullptr, QuietDialog, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(identity.Identify(dialog), Dialog(id));
        EXPECT_NE(qeltest::Describe(Dialog(id)), L"dialog " + std::to_wstring(id))
            << "the driver names every template it knows";
        ::DestroyWindow(dialog);
    }
}

TEST(ScreenIdentity, BoxesAreToldByTheirTextInTheLanguageOrAsTheTestLanguageShowsThem) {
    qelui::TextLibrary english;
    ASSERT_TRUE(english.Load(L"EN"));
    const std::wstring setup = english.LoadText(qelui::text::kSetupInformation);
    ASSERT_FALSE(setup.empty());
    struct Row {
        const wchar_t* language;
        std::wstring text;
        ScreenKey expected;
    };
    const Row rows[] = {
        {L"EN", setup, Box(qelui::text::kSetupInformation)},
        {L"EN", english.LoadText(qelui::text::kSearchFailed), Box(qelui::text::kSearchFailed)},
        {L"EN", qeltest::TextId(qelui::text::kRegistrationRetry),
         Box(qelui::text::kRegistrationRetry)},
        {qeltest::kTextIdsLanguage, qeltest::TextId(qelui::text::kRegistrationFailed),
         Box(qelui::text::kRegistrationFailed)},
        {L"DE", setup, Box(0)}, // English words in a German run are no text of it
        {L"EN", L"Something the program never says", Box(0)},
        {L"EN", L"[12x]", Box(0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.text));
        const qeltest::ScreenIdentity identity(row.language);
        ScreenKey seen;
        qeltest::DialogRobot robot;
        robot.ThenOnMessageBox("tell the box", [&](qeltest::DialogView& v) {
            seen = identity.Identify(v.Handle());
            v.Click(IDOK);
        });
        ::MessageBoxW(nullptr, row.text.c_str(), L"Caption", MB_OK | MB_ICONINFORMATION);
        EXPECT_EQ(seen, row.expected);
    }
}

} // namespace
