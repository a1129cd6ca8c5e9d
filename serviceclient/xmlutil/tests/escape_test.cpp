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
        // What was escaped reads back as it was.
        EXPECT_EQ(xmlutil::UnescapeXml(c.text), c.value) << c.value;
        EXPECT_EQ(xmlutil::UnescapeXml(c.attribute), c.value) << c.value;
    }
}

TEST(Escape, XmlReferencesReadBack) {
    struct Case {
        std::string written;
        std::string read;
    };
    const Case cases[] = {
        {"A&amp;B", "A&B"},
        {"&lt;&gt;&quot;&apos;", "<>\"'"},
        {"&amp;amp;", "&amp;"},
        {"&#65;&#x42;&#X43;&#x00044;", "AB&#X43;D"},
        {"&#233;&#x20AC;&#x1F5A8;", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x96\xA8"},
        // Not references: kept as written.
        {"a & b; &nbsp; &amp", "a & b; &nbsp; &amp"},
        {"&#0;&#xD800;&#x110000;&#;&#x;&#1a;", "&#0;&#xD800;&#x110000;&#;&#x;&#1a;"},
        {"&&amp;;", "&&;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(xmlutil::UnescapeXml(c.written), c.read) << c.written;
    }
}

} // namespace
