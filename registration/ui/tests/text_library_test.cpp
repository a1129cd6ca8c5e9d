#include "ui/TextLibrary.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/text_ids.h"
#include "win/module_path.h"

namespace {

const std::wstring kEnglishCaption = L"VELTO ZENDRIA Printer Registration";
const std::wstring kGermanCaption = L"VELTO ZENDRIA Druckerregistrierung";

std::wstring TestRoot() {
    return qelwin::JoinPath(qelwin::ThisModuleFolder(), L"textlib-test\\root");
}

// The language folders beside this program are those of the real build output.
TEST(TextLibrary, LoadsTheLanguageFolderBesideTheProgramOrFallsBackToEnglish) {
    struct Case {
        const wchar_t* language;
        const std::wstring& caption;
    };
    const Case cases[] = {
        {L"DE", kGermanCaption},  {L"EN", kEnglishCaption},
        {L"FR", kEnglishCaption}, // no such folder
        {L"", kEnglishCaption},   // no library directly beside the program
        {L"de", kGermanCaption},  // folder names are not case-sensitive
    };
    for (const auto& c : cases) {
        qelui::TextLibrary texts;
        EXPECT_TRUE(texts.Load(c.language)) << testing::PrintToString(c.language);
        EXPECT_EQ(texts.LoadText(qelui::text::kCaption), c.caption)
            << testing::PrintToString(c.language);
    }
}

TEST(TextLibrary, CodesThatAreNotPlainShortCodesFallBackToEnglish) {
    // "..\outside" would reach a library outside the language folders if it were used.
    const wchar_t* codes[] = {L"..\\outside",         L"../outside",
                              L"EN\\..\\..\\outside", L"LONG\\..\\..\\outside",
                              L"ABCDEFGHIJKLMNOPQ",   L"E N"};
    for (const wchar_t* code : codes) {
        qelui::TextLibrary texts;
        EXPECT_TRUE(texts.LoadFrom(TestRoot(), code)) << testing::PrintToString(code);
        EXPECT_EQ(texts.LoadText(1), L"EN-TEST") << testing::PrintToString(code);
    }
}

TEST(TextLibrary, TheFirstLoadedLibraryStaysForTheRun) {
    qelui::TextLibrary texts;
    ASSERT_TRUE(texts.Load(L"DE"));
    EXPECT_FALSE(texts.Load(L"EN"));
    EXPECT_FALSE(texts.Load(L"FR"));
    EXPECT_EQ(texts.LoadText(qelui::text::kCaption), kGermanCaption);

    texts.Unload();
    EXPECT_FALSE(texts.IsLoaded());
    EXPECT_EQ(texts.LoadText(qelui::text::kCaption), L"");
    ASSERT_TRUE(texts.Load(L"EN"));
    EXPECT_EQ(texts.LoadText(qelui::text::kCaption), kEnglishCaption);
}

TEST(TextLibrary, WithoutAnyLibraryEveryTextIsEmpty) {
    qelui::TextLibrary texts;
    EXPECT_EQ(texts.LoadText(qelui::text::kCaption), L"");
    const std::wstring empty = qelwin::JoinPath(qelwin::ThisModuleFolder(), L"textlib-test");
    EXPECT_FALSE(texts.LoadFrom(empty, L"DE")); // neither DE nor EN below it
    EXPECT_FALSE(texts.IsLoaded());
    EXPECT_EQ(texts.LoadText(qelui::text::kCaption), L"");
}

TEST(TextLibrary, TextsAreCutAt2047Characters) {
    qelui::TextLibrary texts;
    ASSERT_TRUE(texts.LoadFrom(TestRoot(), L"LONG"));
    ASSERT_EQ(texts.LoadText(1), L"LONG");

    const std::wstring exact = texts.LoadText(2);
    EXPECT_EQ(exact.size(), 2047u);
    EXPECT_EQ(exact, std::wstring(2046, L'a') + L"Z");

    const std::wstring cut = texts.LoadText(3);
    EXPECT_EQ(cut.size(), 2047u);
    EXPECT_EQ(cut, std::wstring(2046, L'b') + L"Y");
}

TEST(TextLibrary, UnknownNumbersGiveEmptyTexts) {
    qelui::TextLibrary texts;
    ASSERT_TRUE(texts.Load(L"EN"));
    for (int id : {0, 4, 10000, 10004, 19999, 65535, -1, 70000}) {
        EXPECT_EQ(texts.LoadText(id), L"") << id;
    }
}

TEST(TextLibrary, CodeInsideALanguageLibraryNeverRuns) {
    ::SetEnvironmentVariableW(L"QEL_PLANTED_LIBRARY_RAN", nullptr);
    qelui::TextLibrary texts;
    ASSERT_TRUE(texts.LoadFrom(TestRoot(), L"CODE"));
    EXPECT_EQ(texts.LoadText(1), L"CODE");
    EXPECT_EQ(::GetEnvironmentVariableW(L"QEL_PLANTED_LIBRARY_RAN", nullptr, 0), 0u);
    texts.Unload();
}

// Every text number that the screens use exists in both languages.
TEST(TextLibrary, BothLanguagesHoldEveryTextOfTheScreens) {
    const int ids[] = {10001, 10002, 10003, 10006, 10007, 10008, 10009, 10011, 10012, 10013, 10101,
                       10102, 10103, 10104, 10105, 10106, 11003, 11007, 11008, 11009, 11010, 11103,
                       11104, 11201, 11401, 11402, 11403, 11404, 11501, 11505, 11701, 11702, 11703};
    for (const wchar_t* language : {L"EN", L"DE"}) {
        qelui::TextLibrary texts;
        ASSERT_TRUE(texts.Load(language));
        for (int id : ids) {
            EXPECT_FALSE(texts.LoadText(id).empty()) << id;
        }
        for (int id = 15005; id <= 15022; ++id) {
            EXPECT_FALSE(texts.LoadText(id).empty()) << id;
        }
        for (int id = 17001; id <= 17016; ++id) {
            EXPECT_FALSE(texts.LoadText(id).empty()) << id;
        }
    }
}

} // namespace
