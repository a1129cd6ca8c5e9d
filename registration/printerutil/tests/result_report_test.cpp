// The report's words and region digits, its request time, the page address after an installer
// registration, and the notice's bound against a silent gateway. The report as the gateway
// receives it is checked by the sequence's tests.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "printerutil/notice_threads.h"
#include "printerutil/result_report.h"
#include "printerutil_testing/fake_waits.h"
#include "printerutil_testing/sample_registration.h"

using printerutil::stPrinterIDs;
using qelhttp::testing::FakeApplicationInfo;

namespace {

TEST(ReportWords, ConnectionAndStatusByKindCodeAndConnectivity) {
    struct Row {
        int kind;
        int connection;
        std::optional<int> code; // the identity step's record, when there is one
        int connectivity;
        const wchar_t* connectionWord;
        const wchar_t* statusWord;
    };
    // The sequence's tests reach the other combinations through the gateway.
    const Row rows[] = {
        {0, 3, 0, 200, L"USB", L""},
        {2, 4, 5, 200, L"LAN", L"OFF_POWER"},
        {3, 1, 0, 204, L"LAN", L"OK"},
        {4, 3, 0, 204, L"USB", L"NO_INTERNET"},
        {4, 5, std::nullopt, 206, L"USB", L"NO_INTERNET"},
        {2, 0, 0, 200, L"", L"OK"},
        {2, 6, 0, 200, L"", L"OK"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "kind " << r.kind << " connection " << r.connection << " code "
                     << r.code.value_or(-1) << " connectivity " << r.connectivity);
        const stPrinterIDs ids{r.code.value_or(0), L"R", L"C"};
        EXPECT_EQ(printerutil::ConnectionWord(r.connection), r.connectionWord);
        EXPECT_EQ(printerutil::StatusWord(r.kind, r.code ? &ids : nullptr,
                                          static_cast<unsigned char>(r.connectivity)),
                  r.statusWord);
    }
}

TEST(ReportWords, RegionDigitByPrinterRegionElseArea) {
    struct Row {
        const wchar_t* region;
        const wchar_t* area;
        const wchar_t* digit;
    };
    const Row rows[] = {{L"1", L"US", L"0"}, {L"3", L"JP", L"2"}, {L"4", L"JP", L"1"},
                        {L"C", L"US", L"1"}, {L"Z", L"JP", L"1"}, {L"", L"JP", L"0"},
                        {L"", L"US", L"2"},  {L"", L"DE", L"1"},  {L"", L"", L"1"}};
    for (const Row& r : rows) {
        EXPECT_EQ(printerutil::GetRegionDigit(r.region, L"asia", r.area), r.digit)
            << "region '" << testing::PrintToString(std::wstring(r.region)) << "' area "
            << testing::PrintToString(std::wstring(r.area));
    }
}

TEST(ReportWords, RequestTimeIsLocalStandardTimeWithItsOffset) {
    struct Row {
        LONG bias;
        const char* text;
    };
    const Row rows[] = {{0, "2024-03-05T07:08:09.045Z"},
                        {-540, "2024-03-05T16:08:09.045+09:00"},
                        {300, "2024-03-05T02:08:09.045-05:00"},
                        {-330, "2024-03-05T12:38:09.045+05:30"}};
    SYSTEMTIME utc{};
    utc.wYear = 2024;
    utc.wMonth = 3;
    utc.wDay = 5;
    utc.wHour = 7;
    utc.wMinute = 8;
    utc.wSecond = 9;
    utc.wMilliseconds = 45;
    for (const Row& r : rows) {
        const auto stamp = printerutil::LocalStandardTime(utc, r.bias);
        EXPECT_EQ(stamp.utcOffset, -r.bias * 60);
        qelcmn::CalendarTime fields;
        ASSERT_TRUE(qelcmn::SecondsToCalendarTime(stamp, fields));
        std::ostringstream text;
        fields.WriteIso8601(text);
        EXPECT_EQ(text.str(), r.text);
    }
}

TEST(ResultUrl, RegistrationAddressIsFormEncodedAfterTheBase) {
    struct Row {
        const wchar_t* base;
        const wchar_t* page;
        const wchar_t* url;
    };
    const Row rows[] = {
        {L"http://uf.example/start?a=1", L"", L"http://uf.example/start?a=1"},
        {L"http://uf.example/start?a=1", L"http://reg.example/p?x=1&y=a b",
         L"http://uf.example/start?a=1&VTM_SEP=1&reg_url="
         L"http%3A%2F%2Freg.example%2Fp%3Fx%3D1%26y%3Da+b"},
        {L"http://uf.example/s", L"-._~*\u00e9",
         L"http://uf.example/s&VTM_SEP=1&reg_url=-._%7E%2A%C3%A9"},
        {L"http://\u00fcf.example/ s", L"z", L"http://\u00fcf.example/ s&VTM_SEP=1&reg_url=z"},
        {L"", L"p", L"&VTM_SEP=1&reg_url=p"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(printerutil::MakeResultUrl(r.base, r.page), r.url);
    }
}

class GatewayTest : public ::testing::Test {
protected:
    void SetUp() override {
        cloud_.Reset();
        printerutil::testing::SetSampleFacts(info_);
        info_.regionCode.clear();
    }
    void TearDown() override { cloud_.Release(); }

    std::string Field(int index, const std::string& name) {
        return cloud_.Field(index, name).value_or("<none>");
    }

    qelcloud::SimulatedCloud cloud_;
    FakeApplicationInfo info_;
};

TEST_F(GatewayTest, NoticeWaitsOnceForTwoSecondsWhateverTheGatewayDoes) {
    struct Row {
        const char* name;
        const char* rule;                 // empty: the gateway answers
        bool silent;                      // the gateway holds its answer
        int workedMs;                     // the program's time between the notice and its end
        std::vector<std::int64_t> bounds; // the screen's wait, then the program end's
    };
    const char* holds = R"({"path": "/gateway/capi", "hold": true})";
    const char* fails = R"({"path": "/gateway/capi", "status": 500})";
    const char* drops = R"({"path": "/gateway/capi", "drop": "before_reply"})";
    const Row rows[] = {
        {"answered", "", false, 0, {2000, 2000}},
        {"server error", fails, false, 0, {2000, 2000}},
        {"connection dropped", drops, false, 0, {2000, 2000}},
        {"never answers, the program ends at once", holds, true, 0, {2000, 2000}},
        {"never answers, the program ends within the bound", holds, true, 1500, {2000, 500}},
        {"never answers, the program ends after the bound", holds, true, 2500, {2000}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        cloud_.Reset();
        if (*r.rule != '\0') {
            cloud_.AddRule(r.rule);
        }
        printerutil::testing::FakeWaits waits;
        if (r.silent) {
            // Every bound passes while the gateway holds the request, and the answer is let go
            // only after the program's end: neither the screen nor the end waits for the
            // exchange itself.
            waits.beforeAwait = [&](int, std::chrono::milliseconds) {
                EXPECT_EQ(cloud_.WaitForRequests(1, "/gateway/capi"), 1);
                return false;
            };
        }
        {
            printerutil::ScopedWaits scope(waits);
            printerutil::SendInvitationNotice(&info_, cloud_.Url(L"/gateway/capi"));
            // The thread is the program's until it ends; then it is done, or stopped, and
            // joined.
            EXPECT_EQ(printerutil::Notices().Count(), 1u);
            waits.Advance(std::chrono::milliseconds(r.workedMs));
            const auto start = std::chrono::steady_clock::now(); // the default time-outs
            printerutil::Notices().Finish();
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
            EXPECT_EQ(printerutil::Notices().Count(), 0u);
        }
        if (r.silent) {
            cloud_.Release();
        }
        EXPECT_EQ(waits.AwaitBounds(), r.bounds);
        ASSERT_EQ(cloud_.Count(), 1);
        EXPECT_EQ(Field(0, "method"), "HEAD");
        EXPECT_EQ(Field(0, "query"), "FNC=UREG_SKIP&CHA=PY2&LNG=EN&OSV=W10.0&RES=asia&ARA=JP"
                                     "&DEV=VZ+Printer+500&SFV=1.8.0&SNO=SN0042&UAH=NONE");
    }
    // Nowhere to send it: no exception either.
    printerutil::SendInvitationNotice(&info_, L"");
    printerutil::SendInvitationNotice(nullptr, L"http://127.0.0.1:1/gateway/capi");
}

} // namespace
