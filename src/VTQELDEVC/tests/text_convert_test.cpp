#include "text_convert.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vtqeldevc {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(TextConvert, HexTexts) {
    EXPECT_EQ(BytesToHexUpper(Bytes{0x0a, 0xff}), "0AFF");
    EXPECT_EQ(BytesToHexUpper(Bytes{}), "");
    EXPECT_EQ(BytesToHexLower(Bytes{0x0a, 0xff}), "0aff");
    EXPECT_EQ(HexTextToBytes("0aFF"), (Bytes{0x0a, 0xff}));
    EXPECT_EQ(HexTextToBytes(""), Bytes{});
    // An odd count or a non-digit makes no bytes, never one from beyond the text.
    EXPECT_EQ(HexTextToBytes("0aF"), std::nullopt);
    EXPECT_EQ(HexTextToBytes("0g"), std::nullopt);
    EXPECT_EQ(HexToBytes("0aF"), (Bytes{0x0a}));
    EXPECT_EQ(HexToBytes("0a-g12"), (Bytes{0x0a}));
    EXPECT_EQ(HexToBytes(std::string(200, 'a')).size(), 64u);
    EXPECT_EQ(FilterHexLower("A4:5E:60-zz"), "a45e60");
}

TEST(TextConvert, ExtractTagText) {
    const std::string doc =
        "<application_data><unregister_id>U1</unregister_id><register_id>R1</register_id>"
        "</application_data>";
    struct Case {
        std::string text;
        const char* name;
        const char* output; // what the output holds afterwards; it held "unchanged"
    };
    const Case cases[] = {
        {doc, "register_id", "R1"},
        {doc, "unregister_id", "U1"},
        {doc, "printer_id", "unchanged"},
        // An end tag before the start tag is not taken for its end.
        {"</a>x<a>y", "a", "unchanged"},
        {"</a><a>y</a>", "a", "y"},
        {"<a></a>", "a", ""},
        // Values come back as the printer holds them, not as the document spells them.
        {"<a>VTP&amp;1</a>", "a", "VTP&1"},
        {"<a>&lt;id&gt; &quot;q&quot; &apos;s&apos;</a>", "a", "<id> \"q\" 's'"},
        {"<a>&#65;&#x42;&amp;amp;</a>", "a", "AB&amp;"},
        {"<a>R&D &unknown; &</a>", "a", "R&D &unknown; &"},
    };
    for (const Case& c : cases) {
        std::string out = "unchanged";
        ExtractTagText(c.text, c.name, out);
        EXPECT_EQ(out, c.output) << c.text;
    }
}

TEST(TextConvert, EscapingForDocuments) {
    EXPECT_EQ(CdataSafe("x]]>y"), "x]]]]><![CDATA[>y");
    EXPECT_EQ(CdataSafe("no end"), "no end");
}

TEST(TextConvert, SplitKeyTextIsStrict) {
    const auto key = SplitKeyText("000000040000000f");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->mode, 4u);
    EXPECT_EQ(key->selector, 15u);
    EXPECT_TRUE(SplitKeyText("0000000000000000"));
    EXPECT_TRUE(SplitKeyText("FFFFFFFFFFFFFFFF"));
    for (const char* bad :
         {"", "00000004", "000000040000000", "0000000400000003x", "00000004 0000003",
          "0x00000400000003", "00000004-0000003", "+000000400000003"}) {
        EXPECT_FALSE(SplitKeyText(bad)) << bad;
    }
}

TEST(TextConvert, AnsiCodePage) {
    EXPECT_EQ(AnsiToWide("Model X-100"), L"Model X-100");
    EXPECT_EQ(WideToAnsi(L"SN 123"), "SN 123");
    EXPECT_EQ(AnsiToWide(""), L"");
    EXPECT_EQ(AnsiToWide(std::string("ab\0cd", 5)), L"ab");
    // The test's locale is pinned (C.UTF-8), which gives Wine the Western ANSI code page.
    ASSERT_EQ(::GetACP(), 1252u);
    EXPECT_EQ(AnsiToWide("\xe9t\xe9"), L"\u00e9t\u00e9");
    EXPECT_EQ(WideToAnsi(L"\u00e9"), "\xe9");
}

} // namespace
} // namespace vtqeldevc
