#include "command_xml.h"
#include "namespace_table.h"
#include "xml_template.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtqeldevc {
namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";

std::string CommonNs() {
    return NamespaceUri(kCommonNamespaceRow);
}

// The scan result of the template library for one document.
int ScanCode(const std::string& text) {
    XmlFillRequestPtr request;
    EXPECT_EQ(MakeXmlFillRequest(text, {{"cmd/a", ""}}, false, request), 0);
    xml::XmlDocPtr doc;
    const int created = xml::XmlDocCreate(*request, doc);
    if (created != xml::kOk) {
        return created;
    }
    return xml::XmlDocParse(*doc);
}

struct ScanCase {
    const char* name;
    std::string text;
    int expected;
};

TEST(XmlScan, ResultCodes) {
    const std::vector<ScanCase> cases = {
        {"well formed", kDecl + "<cmd><a>1</a></cmd>", xml::kOk},
        {"shorter than 6 bytes", "<?xml", xml::kRunsIntoEnd},
        {"declaration not followed by white space", "<?xml?><cmd/>", xml::kNoDeclaration},
        {"no declaration", "<cmd><a>1</a></cmd>", xml::kNoDeclaration},
        {"white space before the declaration", " " + kDecl + "<cmd/>", xml::kDeclarationNotAtStart},
        {"root not cmd", kDecl + "<foo><a>1</a></foo>", xml::kBadRoot},
        {"root end tag with blank", kDecl + "<cmd><a>1</a></cmd >", xml::kBadRoot},
        {"bad nesting", kDecl + "<cmd><a><b></a></b></cmd>", xml::kMismatchedEndTag},
        {"end tag without open element", kDecl + "</cmd>", xml::kMismatchedEndTag},
        {"cut between elements", kDecl + "<cmd><a>1</a>", xml::kOk},
        {"unclosed tags at the end", kDecl + "<cmd><a><b>", xml::kOk},
        {"cut inside a tag", kDecl + "<cmd><a x=\"1\"", xml::kUnterminated},
        {"cut inside text", kDecl + "<cmd><a>text", xml::kUnterminated},
        {"cut after <", kDecl + "<cmd><", xml::kRunsIntoEnd},
        {"empty <!>", kDecl + "<cmd><!></cmd>", xml::kRunsIntoEnd},
        {"blank after <", kDecl + "<cmd>< a/></cmd>", xml::kUnknownMarkup},
        {"digit after <", kDecl + "<cmd><1/></cmd>", xml::kUnknownMarkup},
        {"attribute without value", kDecl + "<cmd flag><a/></cmd>", xml::kBadAttribute},
        {"single-quoted attribute", kDecl + "<cmd a='1'><a/></cmd>", xml::kBadAttribute},
        {"white space in attribute name", kDecl + "<cmd a b=\"1\"></cmd>", xml::kBadAttribute},
        {"< in attribute value", kDecl + "<cmd a=\"<\"></cmd>", xml::kBadAttribute},
        {"unclosed attribute quote", kDecl + "<cmd a=\"1></cmd>", xml::kBadAttribute},
        {"comment holding >", kDecl + "<cmd><!-- a > b --><a>1</a></cmd>", xml::kOk},
        {"unclosed comment", kDecl + "<cmd><!-- a > b", xml::kUnterminated},
        {"unclosed CDATA", kDecl + "<cmd><a><![CDATA[x", xml::kUnterminated},
        {"document type skipped", kDecl + "<!DOCTYPE cmd><cmd/>", xml::kOk},
        {"processing instruction", kDecl + "<?pi x?><cmd/>", xml::kOk},
        {"unclosed processing instruction", kDecl + "<?pi x", xml::kUnterminated},
        {"bytes after the root", kDecl + "<cmd/></garbage>\x01\x02", xml::kOk},
        {"undeclared prefix", kDecl + "<cmd><c:a>1</c:a></cmd>", xml::kOk},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScanCode(c.text), c.expected) << c.name;
    }
}

TEST(XmlScan, CreateRefusesEmptyTextAndEntries) {
    XmlFillRequestPtr request;
    ASSERT_EQ(MakeXmlFillRequest("", {{"cmd", ""}}, false, request), 0);
    xml::XmlDocPtr doc;
    EXPECT_EQ(xml::XmlDocCreate(*request, doc), xml::kBadArgument);
    ASSERT_EQ(MakeXmlFillRequest(kDecl + "<cmd/>", {}, false, request), 0);
    EXPECT_EQ(xml::XmlDocCreate(*request, doc), xml::kBadArgument);
}

std::vector<std::string> Read(const std::string& text, const std::vector<std::string>& paths,
                              int* result = nullptr) {
    std::vector<std::string> values;
    const int code = ReadResponseValues(text, paths, &values);
    if (result != nullptr) {
        *result = code;
    }
    return values;
}

std::string Reply(const std::string& inner, const std::string& declarations = "") {
    return kDecl + "<cmd xmlns:ivec=\"" + CommonNs() + "\"" + declarations + "><ivec:contents>" +
           inner + "</ivec:contents></cmd>";
}

struct ReadCase {
    const char* name;
    std::string text;
    std::string path;
    std::string expected;
};

TEST(XmlRead, ValuesByPath) {
    const std::string p = "cmd/ivec:contents/";
    const std::vector<ReadCase> cases = {
        {"blanks around content", Reply("<ivec:response>  OK \r\n</ivec:response>"),
         p + "ivec:response", "OK"},
        {"CDATA inner text", Reply("<ivec:d><![CDATA[a<b>&c]]></ivec:d>"), p + "ivec:d", "a<b>&c"},
        {"references decoded", Reply("<ivec:d>a&amp;b&lt;&#62;&quot;&#x27;</ivec:d>"), p + "ivec:d",
         "a&b<>\"'"},
        {"CDATA read as written", Reply("<ivec:d><![CDATA[a&amp;b]]></ivec:d>"), p + "ivec:d",
         "a&amp;b"},
        {"attribute target decoded", Reply("<ivec:param_set servicetype=\"q&amp;l\"/>"),
         p + "ivec:param_set servicetype", "\"q&l\""},
        {"first occurrence wins", Reply("<ivec:d>1</ivec:d><ivec:d>2</ivec:d>"), p + "ivec:d", "1"},
        {"missing element", Reply("<ivec:d>1</ivec:d>"), p + "ivec:e", ""},
        {"ancestor never matches", Reply("<ivec:d><ivec:e>1</ivec:e></ivec:d>"), p + "ivec:d", ""},
        {"comment holding > is skipped", Reply("<!-- <ivec:d>x</ivec:d> > --><ivec:d>1</ivec:d>"),
         p + "ivec:d", "1"},
        {"attribute target keeps quotes", Reply("<ivec:param_set servicetype=\"qel\"/>"),
         p + "ivec:param_set servicetype", "\"qel\""},
        {"attribute predicate", Reply("<ivec:s id=\"a\">1</ivec:s><ivec:s id=\" b \">2</ivec:s>"),
         p + "ivec:s id=\"b\"", "2"},
        {"predicate with extra attributes", Reply("<ivec:s z=\"0\" id=\"b\" y=\"1\">2</ivec:s>"),
         p + "ivec:s id=\"b\"", "2"},
        {"slash inside a predicate value", Reply("<ivec:s id=\"a/b\">3</ivec:s>"),
         p + "ivec:s id=\"a/b\"", "3"},
        {"leading slashes skipped", Reply("<ivec:d>1</ivec:d>"), "//" + p + "ivec:d", "1"},
        {"other prefix for the common namespace",
         kDecl + "<cmd xmlns:c=\"" + CommonNs() + "\"><c:contents><c:d>1</c:d></c:contents></cmd>",
         p + "ivec:d", "1"},
        {"element declaring its own prefix",
         kDecl + "<cmd><c:contents xmlns:c=\"" + CommonNs() + "\"><c:d>1</c:d></c:contents></cmd>",
         p + "ivec:d", "1"},
        {"undeclared other prefix does not read",
         kDecl + "<cmd><c:contents><c:d>1</c:d>"
                 "</c:contents></cmd>",
         p + "ivec:d", ""},
        {"table prefix bound to another namespace reads by its spelling",
         kDecl + "<cmd xmlns:ivec=\"http://elsewhere.example/ns/\"><ivec:contents><ivec:d>1"
                 "</ivec:d></ivec:contents></cmd>",
         p + "ivec:d", "1"},
        {"other prefix bound to another namespace does not read",
         kDecl + "<cmd xmlns:c=\"http://elsewhere.example/ns/\"><c:contents><c:d>1"
                 "</c:d></c:contents></cmd>",
         p + "ivec:d", ""},
        {"values up to a cut stand", kDecl + "<cmd><ivec:contents><ivec:d>1</ivec:d><ivec:e>",
         p + "ivec:d", "1"},
    };
    for (const auto& c : cases) {
        int result = -1;
        const auto values = Read(c.text, {c.path}, &result);
        ASSERT_EQ(result, 0) << c.name;
        ASSERT_EQ(values.size(), 1u) << c.name;
        EXPECT_EQ(values[0], c.expected) << c.name;
    }
}

TEST(XmlRead, AppendsInPathOrderAndReportsFailure) {
    const auto text = Reply("<ivec:a>1</ivec:a><ivec:b>2</ivec:b>");
    std::vector<std::string> values = {"kept"};
    const std::vector<std::string> paths = {"cmd/ivec:contents/ivec:b", "cmd/ivec:contents/ivec:x",
                                            "cmd/ivec:contents/ivec:a"};
    ASSERT_EQ(ReadResponseValues(text, paths, &values), 0);
    EXPECT_EQ(values, (std::vector<std::string>{"kept", "2", "", "1"}));
    EXPECT_EQ(ReadResponseValues(text, paths, nullptr), 2);
    std::vector<std::string> none;
    EXPECT_EQ(ReadResponseValues("<cmd/>", paths, &none), 1);
    EXPECT_TRUE(none.empty());
}

TEST(XmlRead, StopsAtFirstNulAndReportsRootEnd) {
    const std::string xml = Reply("<ivec:a>1</ivec:a>");
    std::string bytes = xml + std::string("\0\x05tail", 6);
    std::vector<std::string> values;
    std::size_t root_end = 0;
    ASSERT_EQ(ReadResponseValues(bytes, std::vector<std::string>{"cmd/ivec:contents/ivec:a"},
                                 &values, &root_end),
              0);
    EXPECT_EQ(values[0], "1");
    EXPECT_EQ(root_end, xml.size());
    EXPECT_EQ(ReplyText(std::span<const char>(bytes.data(), bytes.size())), xml);
}

TEST(XmlRead, ResponseOperation) {
    std::string operation = "before";
    std::string service = "before";
    const auto reply = kDecl + "<cmd xmlns:ivec=\"" + CommonNs() +
                       "\"><ivec:contents><ivec:operation>GetStatusResponse</ivec:operation>"
                       "<ivec:param_set servicetype=\"qel\"/></ivec:contents></cmd>";
    ASSERT_EQ(GetResponseOperation(reply, &operation, &service), 0);
    EXPECT_EQ(operation, "GetStatusResponse");
    EXPECT_EQ(service, "\"qel\"");

    operation = "before";
    const auto without = Reply("<ivec:param_set servicetype=\"qel\"/>");
    ASSERT_EQ(GetResponseOperation(without, &operation, &service), 0);
    EXPECT_EQ(operation, "before");
    EXPECT_EQ(GetResponseOperation("<x/>", &operation, &service), 1);
    EXPECT_EQ(GetResponseOperation(reply, nullptr, &service), 2);
}

std::string Fill(const std::string& templ, const PairList& pairs, std::size_t* length = nullptr) {
    std::vector<char> output(4096, '#');
    const std::size_t written = BuildCommandXml(templ, pairs, output);
    if (length != nullptr) {
        *length = written;
    }
    return std::string(output.data(), written);
}

struct FillCase {
    const char* name;
    std::string templ;
    PairList pairs;
    std::string expected;
};

TEST(XmlFill, SplicesValues) {
    const std::string d = kDecl;
    const std::vector<FillCase> cases = {
        {"placeholder content",
         d + "<cmd><a>%s</a><b>%s</b></cmd>",
         {{"cmd/b", "2"}, {"cmd/a", "1"}},
         d + "<cmd><a>1</a><b>2</b></cmd>"},
        {"start tag followed by end tag",
         d + "<cmd><a></a></cmd>",
         {{"cmd/a", "v"}},
         d + "<cmd><a>v</a></cmd>"},
        {"empty-element tag",
         d + "<cmd><x:a/></cmd>",
         {{"cmd/x:a", "v"}},
         d + "<cmd><x:a>v</x:a></cmd>"},
        {"attribute value with its quotes",
         d + "<cmd><a t=\"%s\"></a></cmd>",
         {{"cmd/a t", "\"qel\""}},
         d + "<cmd><a t=\"qel\"></a></cmd>"},
        {"predicate on the template's own placeholder",
         d + "<cmd><p t=\"%s\"><a>%s</a></p></cmd>",
         {{"cmd/p t", "\"qel\""}, {"cmd/p t=\"%s\"/a", "1"}},
         d + "<cmd><p t=\"qel\"><a>1</a></p></cmd>"},
        {"absent path leaves the template",
         d + "<cmd><a>%s</a></cmd>",
         {{"cmd/z", "1"}},
         d + "<cmd><a>%s</a></cmd>"},
        {"same path twice is filled once",
         d + "<cmd><a>%s</a></cmd>",
         {{"cmd/a", "first"}, {"cmd/a", "second"}},
         d + "<cmd><a>first</a></cmd>"},
        {"same empty element twice",
         d + "<cmd><a></a></cmd>",
         {{"cmd/a", "1"}, {"cmd/a", "2"}},
         d + "<cmd><a>1</a></cmd>"},
        {"empty value removes the placeholder",
         d + "<cmd><a>%s</a></cmd>",
         {{"cmd/a", ""}},
         d + "<cmd><a></a></cmd>"},
        {"values are inserted as given",
         d + "<cmd><a>%s</a></cmd>",
         {{"cmd/a", "&lt;"}},
         d + "<cmd><a>&lt;</a></cmd>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Fill(c.templ, c.pairs), c.expected) << c.name;
    }
}

TEST(XmlFill, RefusesWhatDoesNotFit) {
    const std::string templ = kDecl + "<cmd><a>%s</a></cmd>";
    const std::size_t room = 4096 - (templ.size() - 2);
    std::size_t length = 0;
    const auto exact = Fill(templ, {{"cmd/a", std::string(room, 'x')}}, &length);
    EXPECT_EQ(length, 4096u);

    std::vector<char> output(4100, '#');
    EXPECT_EQ(BuildCommandXml(templ, {{"cmd/a", std::string(room + 1, 'x')}}, output), 0u);
    EXPECT_EQ(std::string(output.begin(), output.end()), std::string(4100, '#'));

    std::vector<char> small(100);
    EXPECT_EQ(BuildCommandXml(templ, {{"cmd/a", "1"}}, small), 0u);
    EXPECT_EQ(BuildCommandXml("<notxml/>", {{"cmd/a", "1"}}, output), 0u);

    XmlFillRequestPtr request;
    ASSERT_EQ(MakeXmlFillRequest(templ, {{"cmd/a", std::string(room + 10, 'x')}}, true, request),
              0);
    xml::XmlDocPtr doc;
    ASSERT_EQ(xml::XmlDocCreate(*request, doc), xml::kOk);
    ASSERT_EQ(xml::XmlDocParse(*doc), xml::kOk);
    ASSERT_EQ(xml::XmlDocCollect(*doc, *request), xml::kOk);
    EXPECT_EQ(xml::XmlDocSerialize(*request), xml::kDoesNotFit);
    EXPECT_EQ(request->needed_length, 4096u + 10);
}

TEST(XmlFill, EntryStatuses) {
    XmlFillRequestPtr request;
    ASSERT_EQ(
        MakeXmlFillRequest(kDecl + "<cmd><a>1</a><b></b><c/></cmd>",
                           {{"cmd/a", ""}, {"cmd/b", ""}, {"cmd/c", ""}, {"cmd/d", ""}, {"", ""}},
                           false, request),
        0);
    xml::XmlDocPtr doc;
    ASSERT_EQ(xml::XmlDocCreate(*request, doc), xml::kOk);
    ASSERT_EQ(xml::XmlDocParse(*doc), xml::kOk);
    ASSERT_EQ(xml::XmlDocCollect(*doc, *request), xml::kOk);
    const auto& e = request->entries;
    EXPECT_EQ(e[0].status, xml::kStatusFound);
    EXPECT_EQ(e[1].status, xml::kStatusEmptyElement);
    EXPECT_EQ(e[2].status, xml::kStatusEmptyElementTag);
    EXPECT_EQ(e[3].status, xml::kStatusNotFound);
    EXPECT_EQ(e[4].status, xml::kStatusNoPath);
}

} // namespace
} // namespace vtqeldevc
