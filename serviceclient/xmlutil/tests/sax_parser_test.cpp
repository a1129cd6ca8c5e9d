#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "recording_handler.h"
#include "xmlutil/xml_sax_parser_win.h"

namespace {

using qelcmn::destructible::unique_destructible;
using xmlutil::test::RecordingHandler;
using Events = std::vector<std::wstring>;

unique_destructible<xmlutil::IXmlSaxParser> NewParser() {
    return unique_destructible<xmlutil::IXmlSaxParser>(new xmlutil::XmlSAXParserWin());
}

Events ParseEvents(const std::string& document) {
    RecordingHandler handler;
    auto parser = NewParser();
    EXPECT_TRUE(parser->SetInput(document));
    EXPECT_TRUE(parser->SetHandler(&handler));
    EXPECT_TRUE(parser->Parse());
    return handler.events;
}

TEST(SaxParser, DeliversElementsTextAndAttributes) {
    const std::string document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!-- comment --><?pi data?>"
        "<a:root xmlns:a=\"urn:a\" xmlns:b=\"urn:b\" id=\"7\" b:flag=\"x &amp; y\" id2='q'>"
        "<b:empty/>  <a:t>caf\xC3\xA9 &lt;1&gt;</a:t><![CDATA[<raw>]]></a:root>";
    const Events expected = {
        L"start-document",
        L"<a:root local=root ns=urn:a @flag=x & y @id=7 @id2=q",
        L"<b:empty local=empty ns=urn:b",
        L"</b:empty local=empty ns=urn:b",
        L"<a:t local=t ns=urn:a",
        L"text:caf\u00e9 <1>",
        L"</a:t local=t ns=urn:a",
        L"cdata:<raw>",
        L"</a:root local=root ns=urn:a",
        L"end-document",
    };
    EXPECT_EQ(ParseEvents(document), expected);
}

TEST(SaxParser, CutOffAndNonXmlDocuments) {
    struct Case {
        const char* name;
        std::string document;
        Events expected;
    };
    const Case cases[] = {
        {"not XML from the first byte", "\x01\x02garbage", {}},
        {"text before any element", "Service Unavailable", {}},
        // A cut-off document ends in end-document with its open elements left open, so the
        // handler can tell; no end element is made up for them.
        {"cut after an end tag",
         "<r><s><c>x</c>",
         {L"start-document", L"<r local=r ns=", L"<s local=s ns=", L"<c local=c ns=", L"text:x",
          L"</c local=c ns=", L"end-document"}},
        {"cut inside a start tag",
         "<r><s><c",
         {L"start-document", L"<r local=r ns=", L"<s local=s ns=", L"end-document"}},
        {"trailing content after the root",
         "<r/><t>",
         {L"start-document", L"<r local=r ns=", L"</r local=r ns=", L"end-document"}},
    };
    for (const auto& c : cases) {
        RecordingHandler handler;
        auto parser = NewParser();
        parser->SetInput(c.document);
        parser->SetHandler(&handler);
        EXPECT_TRUE(parser->Parse()) << c.name;
        EXPECT_EQ(handler.events, c.expected) << c.name;
    }

    // Cut inside text: a reader may deliver the partial text or not, but it must stop, and
    // the element stays open.
    RecordingHandler handler;
    EXPECT_TRUE(xmlutil::ParseXml("<r><c>CAPI", handler));
    ASSERT_GE(handler.events.size(), 4u);
    EXPECT_EQ(handler.events[2], L"<c local=c ns=");
    EXPECT_EQ(handler.events.back(), L"end-document");
    for (const auto& event : handler.events) {
        EXPECT_NE(event.rfind(L"</", 0), 0u) << "made-up end element";
        EXPECT_NE(event, L"text:") << "empty text";
    }
}

TEST(SaxParser, InputAndHandlerRules) {
    auto parser = NewParser();
    EXPECT_FALSE(parser->Parse()); // no input
    EXPECT_FALSE(parser->SetInput(""));
    EXPECT_FALSE(parser->Parse());
    ASSERT_TRUE(parser->SetInput("<r/>"));
    EXPECT_TRUE(parser->Parse()); // no handler: nothing read
    RecordingHandler handler;
    parser->SetHandler(&handler);
    EXPECT_TRUE(parser->Parse());
    EXPECT_EQ(handler.events.size(), 4u);
    // A new input replaces the old one.
    ASSERT_TRUE(parser->SetInput("<s/>"));
    handler.events.clear();
    EXPECT_TRUE(parser->Parse());
    EXPECT_EQ(handler.events.at(1), L"<s local=s ns=");
}

TEST(SaxParser, HandlerExceptionsLeaveParseXml) {
    struct Throwing : RecordingHandler {
        void Characters(const std::wstring&) override { throw std::runtime_error("stop"); }
    } handler;
    EXPECT_THROW(xmlutil::ParseXml("<r>text</r>", handler), std::runtime_error);
    RecordingHandler quiet;
    EXPECT_FALSE(xmlutil::ParseXml("", quiet));
    EXPECT_TRUE(xmlutil::ParseXml("<r/>", quiet));
}

} // namespace
