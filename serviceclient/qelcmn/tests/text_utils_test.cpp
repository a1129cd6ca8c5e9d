#include "qelcmn/text_utils.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

namespace {

TEST(UrlEncode, EncodesByteByByte) {
    struct Case {
        const char* input;
        bool percentSpace;
        const char* expected;
    };
    const Case cases[] = {
        {"a b", false, "a+b"},
        {"a b", true, "a%20b"},
        {"x/y?z=1&w", false, "x%2Fy%3Fz%3D1%26w"},
        {"AZaz09-._", false, "AZaz09-._"},
        {"~*+%", false, "%7E%2A%2B%25"},
        {"\xC3\xA9", false, "%C3%A9"},               // e acute as UTF-8
        {"\xF0\x9F\x98\x80", false, "%F0%9F%98%80"}, // a character beyond the BMP
        {"\x7F\x01", false, "%7F%01"},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qelcmn::UrlEncodeToString(c.input, c.percentSpace), c.expected) << c.input;
    }
}

TEST(UrlEncode, BufferEndsWithOneNulAndStopsAtTheFirstNul) {
    const char text[] = "ab\0cd";
    const std::vector<char> out = qelcmn::UrlEncode(text, sizeof text - 1);
    EXPECT_EQ(std::string(out.begin(), out.end()), std::string("ab\0", 3));

    const std::vector<char> empty = qelcmn::UrlEncode("", 0);
    EXPECT_EQ(empty, std::vector<char>{'\0'});
    EXPECT_TRUE(qelcmn::UrlEncode(nullptr, 10).empty());
}

TEST(UrlEncode, AWrongLengthHintNeverCutsOrOverruns) {
    const std::string text(1000, '/');
    const std::vector<char> out = qelcmn::UrlEncode(text.c_str(), 1);
    EXPECT_EQ(out.size(), 3001u);
    EXPECT_EQ(out.back(), '\0');
}

TEST(Utf8ToWide, ConvertsValidText) {
    struct Case {
        std::string utf8;
        std::wstring wide;
    };
    const Case cases[] = {
        {"", L""},
        {"plain", L"plain"},
        {"\xC3\xA9t\xC3\xA9", L"\u00E9t\u00E9"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", L"\u65E5\u672C"},
        {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"}, // surrogate pair
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qelcmn::Utf8ToWide(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(qelcmn::WideToUtf8(c.wide), c.utf8) << c.utf8;
    }
}

TEST(Utf8ToWide, InvalidInputRaisesTheConverterError) {
    const std::string invalid[] = {
        "\xC3",         // cut sequence
        "\xFF\xFE",     // bytes that never occur
        "a\x80z",       // lone continuation byte
        "\xED\xA0\x80", // encoded surrogate
        "\xC0\xAF",     // overlong
    };
    for (const auto& text : invalid) {
        EXPECT_THROW(qelcmn::Utf8ToWide(text), std::range_error);
    }
    EXPECT_THROW(qelcmn::WideToUtf8(std::wstring(1, wchar_t(0xD800))), std::range_error);
}

TEST(WideToUtf8Replacing, UnpairedSurrogatesBecomeTheReplacementCharacter) {
    struct Case {
        std::wstring wide;
        std::string utf8;
    };
    const Case cases[] = {
        {L"", ""},
        {L"plain \u00E9", "plain \xC3\xA9"},
        {L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        {std::wstring(L"a") + wchar_t(0xD800) + L"b", "a\xEF\xBF\xBD"
                                                      "b"},
        {std::wstring(1, wchar_t(0xDC00)), "\xEF\xBF\xBD"},
        {std::wstring(L"x\0y", 3), std::string("x\0y", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qelcmn::WideToUtf8Replacing(c.wide), c.utf8) << c.utf8;
    }
}

TEST(RemoveFileSpec, CutsToTheFolder) {
    struct Case {
        const wchar_t* path;
        const wchar_t* folder;
    };
    const Case cases[] = {
        {L"", L""},
        {L"prog.exe", L"prog.exe"},
        {L"C:\\prog.exe", L"C:\\"},
        {L"C:\\\\prog.exe", L"C:\\"},
        {L"C:\\dir\\prog.exe", L"C:\\dir"},
        {L"C:\\dir\\sub\\\\prog.exe", L"C:\\dir\\sub"},
        {L"C:\\dir\\", L"C:\\dir"},
        {L"\\\\server\\share\\x.exe", L"\\\\server\\share"},
        {L"dir\\x", L"dir"},
        // Only a colon before a backslash at index 2 makes a root.
        {L"ab\\prog.exe", L"ab"},
        {L"C:x\\prog.exe", L"C:x"},
        {L"\\C:\\prog.exe", L"\\C:"},
        {L"C:\\", L"C:\\"},
    };
    for (const auto& c : cases) {
        std::wstring path = c.path;
        qelcmn::RemoveFileSpec(path);
        EXPECT_EQ(path, c.folder) << c.path;
    }
}

TEST(GetModuleFilePath, NamesThisProgram) {
    std::wstring path = qelcmn::GetModuleFilePath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), L".exe");
    EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
