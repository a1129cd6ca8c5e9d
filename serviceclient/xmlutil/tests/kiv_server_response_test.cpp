#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "qelcmn/exceptions.h"
#include "xmlutil/kiv_server_response.h"

namespace {

using xmlutil::KIVServerResponse;

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
// Namespaces declared the way the gateway declares them.
const std::string kNamespaces = " xmlns:registration=\"http://gw.example/ns/registration\""
                                " xmlns:cap=\"http://gw.example/ns/cap\"";

std::string Reply(const std::string& root, const std::string& body) {
    return kHead + "<" + root + kNamespaces + ">" + body + "</" + root + ">";
}

std::string Status(const std::string& code) {
    return "<cap:communication><cap:status><cap:code>" + code +
           "</cap:code></cap:status></cap:communication>";
}

struct Outcome {
    KIVServerResponse response;
    bool threw = false;
};

Outcome Pick(const std::string& document) {
    Outcome outcome;
    xmlutil::KIVServerResponsePicker picker(&outcome.response);
    try {
        xmlutil::ParseXml(document, picker);
    } catch (const xmlutil::invalid_response_format& e) {
        EXPECT_EQ(e.ucode(), 0x80040008u);
        EXPECT_TRUE(e.message().empty());
        outcome.threw = true;
    }
    return outcome;
}

TEST(KIVServerResponse, WellFormedReplies) {
    struct Case {
        const char* name;
        std::string document;
        std::wstring recordName;
        std::wstring result;
        std::wstring url;
        std::wstring nbe;
        std::wstring api0122;
    };
    const Case cases[] = {
        {"service addresses",
         Reply("cap:res_0001",
               Status("CAPI_SUCCESS") +
                   "<cap:cap_api_set><cap:cap_api key=\"NBE\">https://nbe.example/a?b=1&amp;c=2"
                   "</cap:cap_api>\n  <cap:cap_api key=\"CAP-API0122\">https://reg.example/0122"
                   "</cap:cap_api><cap:cap_api key=\"OTHER\">x</cap:cap_api></cap:cap_api_set>"),
         L"cap:res_0001", L"CAPI_SUCCESS", L"", L"https://nbe.example/a?b=1&c=2",
         L"https://reg.example/0122"},
        {"out of service with maintenance page",
         Reply("cap:res_0001", Status("CAPI_OUT_SERVICE") +
                                   "<cap:maintenance_url>https://m.example/</cap:maintenance_url>"),
         L"cap:res_0001", L"CAPI_OUT_SERVICE", L"https://m.example/", L"", L""},
        {"registration page, last address wins",
         Reply("registration:res_0122",
               "<cap:maintenance_url>https://m.example/</cap:maintenance_url>" +
                   Status("CAPI_SUCCESS") +
                   "<registration:open_url><![CDATA[https://page.example/?a=1&b=2]]>"
                   "</registration:open_url>"),
         L"registration:res_0122", L"CAPI_SUCCESS", L"https://page.example/?a=1&b=2", L"", L""},
        {"unknown elements around known ones",
         Reply("plain_res_root",
               "<wrap><cap:status><deep><cap:code>CAPI_SUCCESS</cap:code></deep></cap:status>"
               "</wrap><cap:cap_api_set><cap:cap_api>no key</cap:cap_api>"
               "<cap:cap_api key=\"NBE\"><i>ignored</i>https://n/</cap:cap_api>"
               "</cap:cap_api_set>"),
         L"plain_res_root", L"CAPI_SUCCESS", L"", L"https://n/", L""},
        {"empty code element", Reply("cap:res_0001", "<cap:status><cap:code/></cap:status>"),
         L"cap:res_0001", L"", L"", L"", L""},
        {"no known elements", Reply("html", "<body>Bad gateway</body>"), L"", L"", L"", L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = Pick(c.document);
        ASSERT_FALSE(outcome.threw);
        EXPECT_EQ(outcome.response.name, c.recordName);
        EXPECT_EQ(outcome.response.GetResult(), c.result);
        EXPECT_EQ(outcome.response.url, c.url);
        EXPECT_EQ(outcome.response.GetParam(L"NBE"), c.nbe);
        EXPECT_EQ(outcome.response.GetParam(L"CAP-API0122"), c.api0122);
        EXPECT_EQ(outcome.response.GetParam(L"missing"), L"");
    }
}

TEST(KIVServerResponse, BrokenReplies) {
    struct Case {
        const char* name;
        std::string document;
        bool throws;
        std::wstring resultKept;
    };
    const Case cases[] = {
        {"code closed by status",
         Reply("cap:res_0001", "<cap:code><cap:status>CAPI_SUCCESS</cap:code></cap:status>"), true,
         L""},
        {"cut inside code", kHead + "<cap:res_0001" + kNamespaces + "><cap:status><cap:code>CAPI",
         true, L""},
        {"cut after code",
         kHead + "<cap:res_0001" + kNamespaces + "><cap:status><cap:code>CAPI_SUCCESS</cap:code>",
         true, L"CAPI_SUCCESS"},
        {"cut inside an unknown element after a closed reply",
         Reply("cap:res_0001", Status("CAPI_SUCCESS")) + "<trailer>", false, L"CAPI_SUCCESS"},
        {"not XML", "Service Unavailable", false, L""},
        {"empty body", "", false, L""},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Pick(c.document);
        EXPECT_EQ(outcome.threw, c.throws) << c.name;
        EXPECT_EQ(outcome.response.result, c.resultKept) << c.name;
    }
}

TEST(KIVServerResponse, ClearAndMove) {
    KIVServerResponse response;
    response.name = L"n";
    response.result = L"r";
    response.url = L"u";
    response.parameters[L"NBE"] = L"a";
    KIVServerResponse moved(std::move(response));
    EXPECT_EQ(moved.GetParam(L"NBE"), L"a");
    moved.Clear();
    EXPECT_TRUE(moved.name.empty() && moved.result.empty() && moved.url.empty() &&
                moved.parameters.empty());
}

} // namespace
