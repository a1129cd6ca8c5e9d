#include <gtest/gtest.h>

#include <string>

#include "xmlutil/escape.h"

namespace {

TEST(Escape, XmlAndJsonValues) {
    struct Case {
        std::string value;
        std::string text;
        std::string attribute;
        std::string json;
    };
    const Case cases[] = {
        // Values without special characters come out unchanged, UTF-8 included.
        {"PRN-1234 \xC3\xA9", "PRN-1234 \xC3\xA9", "PRN-1234 \xC3\xA9", "PRN-1234 \xC3\xA9"},
        {"", "", "", ""},
        {"a<b>&c", "a&lt;b&gt;&amp;c", "a&lt;b&gt;&amp;c", "a<b>&c"},
        {"say \"hi\"", "say \"hi\"", "say &quot;hi&quot;", "say \\\"hi\\\""},
        {"it's", "it's", "it's", "it's"},
        {"&amp;", "&amp;amp;", "&amp;amp;", "&amp;"},
        {"C:\\dir\t\r\n", "C:\\dir\t\r\n", "C:\\dir\t\r\n", "C:\\\\dir\\t\\r\\n"},
        {std::string("\x01\x1f\b\f\x7f", 5), std::string("\x01\x1f\b\f\x7f", 5),
         std::string("\x01\x1f\b\f\x7f", 5), "\\u0001\\u001f\\b\\f\x7f"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(xmlutil::EscapeXmlText(c.value), c.text) << c.value;
        EXPECT_EQ(xmlutil::EscapeXmlAttribute(c.value), c.attribute) << c.value;
        EXPECT_EQ(xmlutil::EscapeJsonString(c.value), c.json) << c.value;
    }
}

} // namespace
