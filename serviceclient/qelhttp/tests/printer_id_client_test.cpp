// The token and printer-ID requests against the simulated cloud, which checks the signatures,
// headers and bodies as the real servers do.
#include <gtest/gtest.h>

#include <future>
#include <string>

#include "qelcmn/exceptions.h"
#include "qelhttp/embedded_secrets.h"
#include "qelhttp/http_request_impl.h"
#include "qelhttp/printer_id_client.h"
#include "qelhttp/request_signature.h"
#include "simulated_cloud.h"

using qelcloud::SimulatedCloud;
using qelhttp::PrinterIDClient;
using qelhttp::PrinterIDRequestData;
using qelhttp::TokenRequestData;

namespace {

// A rule whose answer body is the given text (no quotes or backslashes in it).
std::string BodyRule(const std::string& body) {
    return R"({"body": ")" + body + R"("})";
}

constexpr wchar_t kTokenPath[] = L"/token/a/v1/register";
constexpr wchar_t kPrinterIdPath[] = L"/printerid/v1/printers";

class SignedRequestTest : public ::testing::Test {
protected:
    void SetUp() override { cloud_.Reset(); }
    void TearDown() override { cloud_.Release(); }

    template <typename F>
    static void ExpectHttpError(F&& call, std::uint32_t code, const std::wstring& message) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const qelhttp::http_exception& e) {
            EXPECT_EQ(e.ucode(), code);
            EXPECT_EQ(e.message(), message);
        }
    }

    SimulatedCloud cloud_;
};

TEST(RequestSignatureTest, SignsTheNonceWithTheKeyBuffer) {
    const std::wstring nonce = L"0123456789abcdefghijklmnopqrstuv";
    EXPECT_EQ(qelhttp::SignNonce(qelhttp::TokenSigningKey(L"rem"), nonce),
              L"8R1frErfblqPwJdK6/EyI0i1AUcgovVngAhTr4TaB7Y=\r\n");
    EXPECT_EQ(qelhttp::SignNonce(qelhttp::TokenSigningKey(L"tava"), nonce),
              L"2UogY9xl74tKHVNC1e+quk1ZPfuQdaBu1WP0h2qEdaY=\r\n");
    EXPECT_EQ(qelhttp::MakeSigningKey(std::string(40, 'k')),
              qelhttp::MakeSigningKey(std::string(33, 'k')));

    const std::wstring a = qelhttp::MakeNonce();
    const std::wstring b = qelhttp::MakeNonce();
    EXPECT_NE(a, b);
    ASSERT_EQ(a.size(), 32u);
    EXPECT_EQ(a.find_first_not_of(L"0123456789abcdefghijklmnopqrstuvwxyz"), std::wstring::npos);
    EXPECT_EQ(qelhttp::PrinterIdClientId().size(), 16u);
}

// The header text exactly as the engine gets it (the wire does not show it verbatim): the fixed
// lines, then a fresh nonce and its signature every time the engine asks.
TEST(RequestSignatureTest, SessionHeadersAreExactAndFreshEachTime) {
    qelhttp::TokenRequestSession token(L"http://127.0.0.1/t", {L"nqo", L"001", L"AA"});
    qelhttp::PrinterIDRequestSession printer(L"http://127.0.0.1/p", {L"S", L"M", L"N", L"1"});
    struct Case {
        const char* name;
        qelhttp::IHttpRequestParam& session;
        std::wstring lines;
        qelhttp::SigningKey key;
    };
    const Case cases[] = {
        {"token", token,
         L"Content-Type: application/xml; charset=\"UTF-8\"\r\nx-registerapp-id: qelprinter\r\n",
         qelhttp::TokenSigningKey(L"nqo")},
        {"printer-ID", printer,
         L"Content-Type: application/json; charset=\"UTF-8\"\r\nQel-Client-Id: " +
             qelhttp::PrinterIdClientId() + L"\r\n",
         qelhttp::PrinterIdSigningKey()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring first = c.session.GetHeaders();
        const std::wstring second = c.session.GetHeaders();
        EXPECT_NE(first, second);
        const std::wstring prefix = c.lines + L"Authorization:Data=";
        for (const std::wstring& headers : {first, second}) {
            ASSERT_EQ(headers.substr(0, prefix.size()), prefix);
            const std::wstring nonce = headers.substr(prefix.size(), 32);
            EXPECT_EQ(nonce.find_first_not_of(L"0123456789abcdefghijklmnopqrstuvwxyz"),
                      std::wstring::npos);
            EXPECT_EQ(headers.substr(prefix.size() + 32),
                      L",Signature=" + qelhttp::SignNonce(c.key, nonce));
            EXPECT_EQ(headers.substr(headers.size() - 2), L"\r\n");
        }
        EXPECT_STREQ(c.session.GetMethod(), L"POST");
        EXPECT_EQ(c.session.GetUser(), nullptr);
        EXPECT_EQ(c.session.GetPassword(), nullptr);
    }
}

TEST_F(SignedRequestTest, TokenRequestIsSignedPerTenant) {
    for (const wchar_t* tenant : {L"rem", L"tava", L"nqo", L"other"}) {
        SCOPED_TRACE(std::string(tenant, tenant + wcslen(tenant)));
        PrinterIDClient client;
        const auto response =
            client.RequestToken(cloud_.Url(kTokenPath), {tenant, L"001", L"00:11:22:AA:BB:CC"});
        EXPECT_EQ(response.result, L"SUCCESS");
        EXPECT_EQ(response.access_token.substr(0, 3), L"AT-");
        EXPECT_EQ(response.refresh_token.substr(0, 3), L"RT-");
        EXPECT_NE(response.url.find(L"/printer/v1/"), std::wstring::npos);
        EXPECT_EQ(client.State(), qelhttp::kClientIdle);

        EXPECT_EQ(cloud_.Field(-1, "problems"), "");
        EXPECT_EQ(cloud_.Field(-1, "status"), "200");
        const std::string t(tenant, tenant + wcslen(tenant));
        EXPECT_EQ(cloud_.Field(-1, "body"),
                  "<request><tenant_id>" + t +
                      "</tenant_id><service_id>001</service_id><mac_address>00:11:22:AA:BB:CC"
                      "</mac_address></request>");
        EXPECT_EQ(cloud_.Field(-1, "header.Content-Type"), "application/xml; charset=\"UTF-8\"");
        EXPECT_EQ(cloud_.Field(-1, "header.x-registerapp-id"), "qelprinter");
    }
}

TEST_F(SignedRequestTest, TokenAnswersAreReadOrRefused) {
    struct Case {
        const char* name;
        std::string body;
        xmlutil::TokenServerResponse expected;
    };
    const Case cases[] = {
        {"unknown elements around known ones",
         "<response><x><result>R</result></x><meta a='1'>m</meta><access_token>A</access_token>"
         "<refresh_token>F</refresh_token><url>U</url></response>",
         {L"R", L"A", L"F", L"U"}},
        {"missing fields stay empty",
         "<response><result>E1</result></response>",
         {L"E1", L"", L"", L""}},
        {"empty body", "", {L"", L"", L"", L""}},
        {"not XML", "service unavailable", {L"", L"", L"", L""}},
        {"long token",
         "<response><access_token>" + std::string(100000, 't') + "</access_token></response>",
         {L"", std::wstring(100000, L't'), L"", L""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cloud_.Reset();
        cloud_.AddRule(BodyRule(c.body));
        PrinterIDClient client;
        const auto r = client.RequestToken(cloud_.Url(kTokenPath), {L"nqo", L"001", L"AA"});
        EXPECT_EQ(r.result, c.expected.result);
        EXPECT_EQ(r.access_token, c.expected.access_token);
        EXPECT_EQ(r.refresh_token, c.expected.refresh_token);
        EXPECT_EQ(r.url, c.expected.url);
    }

    // Invalid UTF-8: the platform reader either stops inside an open element (a format error)
    // or reads on with a replacement character (Wine); nothing else may come out.
    cloud_.Reset();
    cloud_.AddRule(R"({"body_b64": "PHJlc3BvbnNlPjxyZXN1bHQ+T0v/PC9yZXN1bHQ+PC9yZXNwb25zZT4="})");
    PrinterIDClient undecodable;
    try {
        const auto r = undecodable.RequestToken(cloud_.Url(kTokenPath), {L"nqo", L"001", L"AA"});
        EXPECT_TRUE(r.access_token.empty());
    } catch (const xmlutil::invalid_response_format&) {
    }

    for (const char* body :
         {"<response><result>R<access_token>A</result></access_token></response>",
          "<response><result>cut"}) {
        SCOPED_TRACE(body);
        cloud_.Reset();
        cloud_.AddRule(BodyRule(body));
        PrinterIDClient client;
        EXPECT_THROW(client.RequestToken(cloud_.Url(kTokenPath), {L"nqo", L"001", L"AA"}),
                     xmlutil::invalid_response_format);
    }
}

TEST_F(SignedRequestTest, PrinterIdRequestIsSignedAndRead) {
    PrinterIDClient client;
    const PrinterIDRequestData data{L"SN12345", L"00:11:22:AA:BB:CC", L"Model X 100", L"1"};
    const auto r = client.RequestPrinterID(cloud_.Url(kPrinterIdPath), data);
    EXPECT_EQ(r.tempPrinterId.substr(0, 3), L"TMP");
    EXPECT_EQ(r.printerId.substr(0, 3), L"PID");
    EXPECT_EQ(r.serialNumber, L"SN12345");
    EXPECT_EQ(r.macAddress, L"00:11:22:AA:BB:CC");
    EXPECT_EQ(r.modelName, L"Model X 100");

    EXPECT_EQ(cloud_.Field(-1, "problems"), "");
    EXPECT_EQ(cloud_.Field(-1, "body"),
              R"({"serialNumber": "SN12345", "macAddress": "00:11:22:AA:BB:CC", )"
              R"("modelName": "Model X 100", "region": "1"})");
    EXPECT_EQ(cloud_.Field(-1, "header.Content-Type"), "application/json; charset=\"UTF-8\"");
    EXPECT_EQ(cloud_.Field(-1, "header.Qel-Client-Id"), "QelRegClient0716");
    const auto authorization = cloud_.Field(-1, "header.Authorization");
    ASSERT_TRUE(authorization.has_value());
    EXPECT_EQ(authorization->substr(0, 5), "Data=");
    EXPECT_EQ(authorization->find(",Signature="), 37u);
}

TEST_F(SignedRequestTest, PrinterIdFailures) {
    const std::string longValue(100000, 'L');
    struct Case {
        const char* name;
        std::string rule;
        std::uint32_t code;
        std::wstring message;
    };
    const qelhttp::TokenRequestData token{L"nqo", L"001", L"AA"};
    const Case cases[] = {
        {"no temporary identity", R"({"fields": {"tempPrinterId": null}})",
         qelhttp::kCodeNetworkError, L"Network Error"},
        {"empty temporary identity", R"({"fields": {"tempPrinterId": ""}})",
         qelhttp::kCodeNetworkError, L"Network Error"},
        {"invalid UTF-8", R"({"body_b64": "eyJ0ZW1wUHJpbnRlcklkIjogIlT/In0="})",
         qelhttp::kCodeNetworkError, L"Network Error"},
        {"empty body", R"({"body": ""})", qelhttp::kCodeNetworkError, L"Network Error"},
        {"server error", R"({"status": 503})", qelhttp::kCodeServerError,
         L"Http : Server Error. code=503"},
        {"dropped connection", R"({"drop": "mid_body"})", qelhttp::kCodeConnectionError,
         L"Http : Server Connection Error."},
        {"chunks cut", R"({"chunked": true, "drop": "mid_body"})", qelhttp::kCodeConnectionError,
         L"Http : Server Connection Error."},
        {"reset inside the head", R"({"drop": "mid_headers"})", qelhttp::kCodeConnectionError,
         L"Http : Server Connection Error."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cloud_.Reset();
        cloud_.AddRule(c.rule);
        PrinterIDClient client;
        ExpectHttpError(
            [&] {
                client.RequestPrinterID(cloud_.Url(kPrinterIdPath), {L"S", L"M", L"N", L"1"});
            },
            c.code, c.message);
        if (c.code == qelhttp::kCodeConnectionError) { // the token server's answer as well
            ExpectHttpError([&] { client.RequestToken(cloud_.Url(kTokenPath), token); }, c.code,
                            c.message);
        }
    }

    cloud_.Reset();
    cloud_.AddRule(R"({"fields": {"tempPrinterId": ")" + longValue + R"("}})");
    PrinterIDClient client;
    EXPECT_EQ(client.RequestPrinterID(cloud_.Url(kPrinterIdPath), {L"S", L"M", L"N", L"1"})
                  .tempPrinterId.size(),
              longValue.size());

    // A quote or a backslash in a value is escaped, so the server reads the value it was given.
    cloud_.Reset();
    EXPECT_FALSE(client.RequestPrinterID(cloud_.Url(kPrinterIdPath), {L"S\"N", L"M", L"N\\1", L"1"})
                     .printerId.empty());
    EXPECT_EQ(cloud_.Field(-1, "problems"), "");
    EXPECT_EQ(cloud_.Field(-1, "info.serialNumber"), "S\"N");
    EXPECT_EQ(cloud_.Field(-1, "info.modelName"), "N\\1");

    // The same for the token request's XML.
    cloud_.Reset();
    EXPECT_EQ(client.RequestToken(cloud_.Url(kTokenPath), {L"nqo", L"001", L"A<B&C>\"D"}).result,
              L"SUCCESS");
    EXPECT_EQ(cloud_.Field(-1, "problems"), "");
    EXPECT_EQ(cloud_.Field(-1, "info.mac_address"), "A<B&C>\"D");
}

TEST_F(SignedRequestTest, CancelDuringTheRequestThrowsCanceled) {
    cloud_.AddRule(R"({"hold": true, "times": 1})");
    PrinterIDClient client;
    auto future = std::async(std::launch::async,
                             PrinterIDClient::RequestAsyncBody{
                                 &client, cloud_.Url(kPrinterIdPath), {L"S", L"M", L"N", L"1"}});
    ASSERT_EQ(cloud_.WaitForRequests(1), 1);
    EXPECT_EQ(client.State(), qelhttp::kClientBusy);
    client.RequestCancel();
    cloud_.Release();
    try {
        future.get();
        ADD_FAILURE() << "no exception";
    } catch (const qelhttp::qel_operation_canceled& e) {
        EXPECT_EQ(e.ucode(), 0x82030001u);
        EXPECT_EQ(e.message(), L"Http Request Canceled.");
    }
    EXPECT_EQ(client.State(), qelhttp::kClientIdle);

    // A cancel between the client's busy mark and its engine's send: the held request ends too.
    struct CancelledInTheGap : qelhttp::HttpRequestImpl {
        PrinterIDClient* owner;
        explicit CancelledInTheGap(PrinterIDClient* o) : HttpRequestImpl({}), owner(o) {}
        int Send(qelhttp::IHttpRequestParam* p, qelhttp::IHttpRequestResponse* s) override {
            owner->RequestCancel();
            return HttpRequestImpl::Send(p, s);
        }
    };
    cloud_.AddRule(R"({"hold": true})");
    PrinterIDClient gap([&] { return std::make_unique<CancelledInTheGap>(&gap); });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(gap.RequestPrinterID(cloud_.Url(kPrinterIdPath), {L"S", L"M", L"N", L"1"}),
                 qelhttp::qel_operation_canceled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(SignedRequestTest, CancelBeforeTheRequestSendsNothing) {
    PrinterIDClient client;
    client.RequestCancel();
    EXPECT_THROW(client.RequestToken(cloud_.Url(kTokenPath), {L"rem", L"001", L"AA"}),
                 qelhttp::qel_operation_canceled);
    EXPECT_EQ(cloud_.Count(), 0);
    // The next request of the same client goes out normally.
    EXPECT_EQ(client.RequestToken(cloud_.Url(kTokenPath), {L"rem", L"001", L"AA"}).result,
              L"SUCCESS");
}

TEST_F(SignedRequestTest, EngineFailuresAreSessionErrors) {
    PrinterIDClient none([] { return std::unique_ptr<qelhttp::IHttpRequest>(); });
    ExpectHttpError(
        [&] {
            none.RequestToken(cloud_.Url(kTokenPath), {L"rem", L"001", L"AA"});
        },
        0, L"Http : Session memory allocation failed.");

    struct Unopenable : qelhttp::IHttpRequest {
        int Open() override { return 1; }
        int Close() override { return 0; }
        int Send(qelhttp::IHttpRequestParam*, qelhttp::IHttpRequestResponse*) override { return 1; }
        void Cancel() override {}
        void Wait() override {}
    };
    PrinterIDClient closed([] { return std::make_unique<Unopenable>(); });
    ExpectHttpError(
        [&] {
            closed.RequestPrinterID(cloud_.Url(kPrinterIdPath), {L"S", L"M", L"N", L"1"});
        },
        0, L"Http : Session Initialize failed.");
    EXPECT_EQ(cloud_.Count(), 0);
}

} // namespace
