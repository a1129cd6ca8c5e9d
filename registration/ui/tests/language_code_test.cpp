#include "ui/language_code.h"

#include <gtest/gtest.h>

namespace {

TEST(LanguageCode, OnlyShortPlainCodesAreAccepted) {
    struct Case {
        const wchar_t* code;
        bool valid;
    };
    const Case cases[] = {
        {L"EN", true},
        {L"de", true},
        {L"zh-Hans", true},
        {L"pt_BR", true},
        {L"X1", true},
        {L"ABCDEFGHIJKLMNOP", true}, // 16 characters
        {L"ABCDEFGHIJKLMNOPQ", false},
        {L"", false},
        {L"..", false},
        {L".", false},
        {L"..\\EN", false},
        {L"../EN", false},
        {L"EN\\..\\..", false},
        {L"C:", false},
        {L"\\\\server\\share", false},
        {L"E N", false},
        {L"EN\t", false},
        {L"\x00C9N", false}, // a letter outside ASCII
        {L"EN*", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qelui::IsValidLanguageCode(c.code), c.valid) << testing::PrintToString(c.code);
        EXPECT_EQ(qelui::SanitizeLanguageCode(c.code), c.valid ? c.code : L"");
    }
}

} // namespace
