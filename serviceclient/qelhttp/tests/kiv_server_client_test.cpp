// The gateway chain and the notice against the simulated gateway.
#include <gtest/gtest.h>

#include <future>
#include <string>

#include "qelcmn/exceptions.h"
#include "qelhttp/kiv_server_client.h"
#include "simulated_cloud.h"

using qelcloud::SimulatedCloud;
using qelhttp::KIVServerClient;

namespace {

constexpr wchar_t kGatewayPath[] = L"/gateway/capi";

KIVURLParams ReportParams() {
    KIVURLParams p;
    p.functionCode = L"UREG_AUTO";
    p.channel = L"UR";
    p.language = L"EN";
    p.osVersion = L"10.0.19045";
    p.residence = L"US";
    p.area = L"US";
    p.device = L"Model X 100";
    p.softwareVersion = L"1.8.0";
    p.serialNumber = L"SN12345";
    return p;
}

KIVRegistrationData RegistrationData() {
    KIVRegistrationData d;
    d.area = L"US";
    d.agent = L"QelRegistration/1.8.0 (Windows 10)";
    d.requestTime = {1709622489, 45, 32400};
    d.deviceId = L"Model X 100";
    d.serialNumber = L"SN12345";
    d.configuration = L"LAN";
    d.serverStatus = L"OK";
    d.tempPrinterId = L"TMP-0001";
    d.setPrinterId = L"SET-0002";
    d.deviceRegion = L"C"; // the "rem" service
    d.region = L"asia";
    d.country = L"JP";
    return d;
}

class KIVServerClientTest : public ::testing::Test {
protected:
    void SetUp() override { cloud_.Reset(); }
    void TearDown() override { cloud_.Release(); }

    xmlutil::KIVServerResponse Run() {
        KIVServerClient client;
        auto reply = client.Request(cloud_.Url(kGatewayPath), ReportParams(), RegistrationData());
        EXPECT_EQ(client.State(), qelhttp::kClientIdle);
        return reply;
    }

    SimulatedCloud cloud_;
};

TEST_F(KIVServerClientTest, ChainPostsTheDocumentAndReturnsThePage) {
    const auto reply = Run();
    EXPECT_EQ(reply.GetResult(), L"CAPI_SUCCESS");
    EXPECT_EQ(reply.name, L"registration:res_0122");
    EXPECT_EQ(reply.url.rfind(cloud_.Url(L"/gateway/page?reg="), 0), 0u);
    ASSERT_EQ(cloud_.Count(), 3);

    EXPECT_EQ(cloud_.Field(0, "method"), "GET");
    EXPECT_EQ(cloud_.Field(0, "query"), "FNC=UREG_AUTO&CHA=UR&LNG=EN&OSV=10.0.19045&RES=US&ARA=US"
                                        "&DEV=Model+X+100&SFV=1.8.0&SNO=SN12345");
    EXPECT_EQ(cloud_.Field(1, "target"), "/gateway/nbe");
    EXPECT_EQ(cloud_.Field(2, "method"), "POST");
    EXPECT_EQ(cloud_.Field(2, "target"), "/gateway/api0122");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cloud_.Field(i, "problems"), "") << "request " << i;
    }
    EXPECT_EQ(cloud_.Field(2, "header.User-Agent"), "QelRegistration/1.8.0 (Windows 10)");
    EXPECT_EQ(cloud_.Field(2, "header.Content-Type"), "application/x-www-form-urlencoded");
    const auto body = cloud_.Field(2, "body");
    ASSERT_TRUE(body);
    EXPECT_EQ(body->substr(0, 8), "message=");
    // The gateway opened both identities with the pass phrases of the "rem" service.
    EXPECT_EQ(cloud_.Field(2, "info.service"), "rem");
    EXPECT_EQ(cloud_.Field(2, "info.temp_printerid"), "TMP-0001");
    EXPECT_EQ(cloud_.Field(2, "info.set_printerid"), "SET-0002");
    EXPECT_EQ(cloud_.Field(2, "info.reqtime"), "2024-03-05T07:08:09.045+09:00");
}

TEST_F(KIVServerClientTest, EachStepStopsByItsRules) {
    struct Case {
        const char* name;
        std::string rule;
        int requests;        // what the gateway saw
        std::wstring result; // when the chain ends normally
        std::uint32_t code;  // else the http_exception's code
        std::wstring message;
    };
    const std::string cutChunks = R"("chunked": true, "drop": "mid_body"})";
    const Case cases[] = {
        {"step 1 out of service",
         R"({"path": "/gateway/capi", "fields": {"code": "CAPI_OUT_SERVICE", "NBE": null}})", 1,
         L"CAPI_OUT_SERVICE", 0, L""},
        {"step 2 out of service",
         R"({"path": "/gateway/nbe", "fields": {"code": "CAPI_OUT_SERVICE"}})", 2,
         L"CAPI_OUT_SERVICE", 0, L""},
        {"step 2 without the interface address",
         R"({"path": "/gateway/nbe", "fields": {"CAP-API0122": null}})", 2, L"CAPI_SUCCESS", 0,
         L""},
        {"step 3 without the page address",
         R"({"path": "/gateway/api0122", "fields": {"open_url": null}})", 3, L"CAPI_SUCCESS", 0,
         L""},
        {"step 1 without the service address",
         R"({"path": "/gateway/capi", "fields": {"NBE": null}})", 1, L"", qelhttp::kCodeSendFailed,
         L"Http : Send request failed."},
        {"step 1 error code", R"({"path": "/gateway/capi", "fields": {"code": "CAPI_ERR_AUTH"}})",
         1, L"", qelhttp::kCodeNetworkError, L"Network Error(CAPI_ERR_AUTH)"},
        {"step 2 answers 204", R"({"path": "/gateway/nbe", "status": 204})", 2, L"",
         qelhttp::kCodeNetworkError, L"Network Error()"},
        {"step 1 not XML", R"({"path": "/gateway/capi", "body": "<html>maintenance"})", 1, L"",
         qelhttp::kCodeNetworkError, L"Network Error()"},
        {"step 3 server error", R"({"path": "/gateway/api0122", "status": 500})", 3, L"",
         qelhttp::kCodeServerError, L"Http : Server Error. code=500"},
        {"step 2 connection dropped", R"({"path": "/gateway/nbe", "drop": "before_reply"})", 2, L"",
         qelhttp::kCodeConnectionError, L"Http : Server Connection Error."},
        {"step 1 chunks cut", R"({"path": "/gateway/capi", )" + cutChunks, 1, L"",
         qelhttp::kCodeConnectionError, L"Http : Server Connection Error."},
        {"step 2 reset inside the head", R"({"path": "/gateway/nbe", "drop": "mid_headers"})", 2,
         L"", qelhttp::kCodeConnectionError, L"Http : Server Connection Error."},
        {"step 3 chunks cut", R"({"path": "/gateway/api0122", )" + cutChunks, 3, L"",
         qelhttp::kCodeConnectionError, L"Http : Server Connection Error."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cloud_.Reset();
        cloud_.AddRule(c.rule);
        if (c.message.empty()) {
            const auto reply = Run();
            EXPECT_EQ(reply.GetResult(), c.result);
            // An out-of-service answer names the gateway's maintenance page.
            EXPECT_EQ(reply.url, c.result == L"CAPI_OUT_SERVICE"
                                     ? cloud_.Url(L"/gateway/page?maintenance=1")
                                     : std::wstring());
        } else {
            try {
                Run();
                ADD_FAILURE() << "no exception";
            } catch (const qelhttp::http_exception& e) {
                EXPECT_EQ(e.ucode(), c.code);
                EXPECT_EQ(e.message(), c.message);
            }
        }
        EXPECT_GE(cloud_.Count(), c.requests);
        EXPECT_EQ(cloud_.Count("/gateway/api0122"), c.requests >= 3 ? 1 : 0);
    }
}

TEST_F(KIVServerClientTest, EmptyAgentAndNoIdentitiesStillReport) {
    KIVRegistrationData data = RegistrationData();
    data.agent.clear();
    data.tempPrinterId.clear();
    data.setPrinterId.clear();
    KIVServerClient client;
    const auto reply = client.Request(cloud_.Url(kGatewayPath), ReportParams(), data);
    EXPECT_EQ(reply.GetResult(), L"CAPI_SUCCESS");
    EXPECT_EQ(cloud_.Field(2, "problems"), "");
    EXPECT_EQ(cloud_.Field(2, "info.agent"), std::nullopt);
    // The empty agent replaces the engine's own: "User-Agent: " with nothing after it.
    EXPECT_EQ(cloud_.Field(2, "header.User-Agent"), "");
    EXPECT_EQ(cloud_.Field(2, "info.temp_printerid.cipher"), std::nullopt);
}

TEST_F(KIVServerClientTest, MisnestedReplyIsInvalid) {
    cloud_.AddRule(
        R"({"path": "/gateway/nbe", "body": "<cap:res_0002 xmlns:cap='urn:c'>)"
        R"(<cap:status><cap:code>CAPI_SUCCESS</cap:status></cap:code></cap:res_0002>"})");
    EXPECT_THROW(Run(), xmlutil::invalid_response_format);
}

TEST_F(KIVServerClientTest, CancelBetweenStepsStopsTheChain) {
    cloud_.AddRule(R"({"path": "/gateway/nbe", "hold": true, "times": 1})");
    KIVServerClient client;
    auto future = std::async(std::launch::async,
                             KIVServerClient::RequestAsyncBody{&client, cloud_.Url(kGatewayPath),
                                                               ReportParams(), RegistrationData()});
    ASSERT_EQ(cloud_.WaitForRequests(1, "/gateway/nbe"), 1);
    client.RequestCancel();
    cloud_.Release();
    try {
        future.get();
        ADD_FAILURE() << "no exception";
    } catch (const qelhttp::qel_operation_canceled& e) {
        EXPECT_EQ(e.ucode(), 0x82030001u);
        EXPECT_EQ(e.message(), L"Http : Request Canceled.");
    }
    EXPECT_EQ(client.State(), qelhttp::kClientIdle);
    EXPECT_EQ(cloud_.Count("/gateway/api0122"), 0);
}

TEST_F(KIVServerClientTest, CancelWhileIdleThrowsBeforeSending) {
    KIVServerClient client;
    client.RequestCancel();
    EXPECT_THROW(client.Notify(cloud_.Url(kGatewayPath), ReportParams()),
                 qelhttp::qel_operation_canceled);
    EXPECT_EQ(cloud_.Count(), 0);
}

TEST_F(KIVServerClientTest, NoticeIsAHeadRequestThatIgnoresTheAnswer) {
    KIVURLParams params = ReportParams();
    params.functionCode = L"UREG_SKIP";
    for (const char* rule :
         {"", R"({"fields": {"code": "CAPI_ERR_X"}})", R"({"body": "not xml at all"})"}) {
        SCOPED_TRACE(rule);
        cloud_.Reset();
        if (*rule != '\0') {
            cloud_.AddRule(rule);
        }
        KIVServerClient client;
        EXPECT_NO_THROW(client.Notify(cloud_.Url(kGatewayPath), params));
        EXPECT_EQ(cloud_.Field(-1, "method"), "HEAD");
        EXPECT_EQ(cloud_.Field(-1, "info.q.FNC"), "UREG_SKIP");
        EXPECT_EQ(cloud_.Field(-1, "problems"), "");
    }

    cloud_.Reset();
    cloud_.AddRule(R"({"status": 502})");
    KIVServerClient client;
    EXPECT_THROW(client.Notify(cloud_.Url(kGatewayPath), params), qelhttp::http_exception);
    // The client keeps its engine and serves the next notice.
    cloud_.Reset();
    EXPECT_NO_THROW(client.Notify(cloud_.Url(kGatewayPath), params));
}

} // namespace
