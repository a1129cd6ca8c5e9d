// The registration sequence end to end over a scripted device library and the simulated cloud:
// every kind over the network and USB with the printer's and the cloud's answers and a cancel at
// each wait, checked by what the cloud received (the query in order, the decrypted document, the
// identity the printer created from the cloud's tokens).
#include <gtest/gtest.h>

#include <cstdio>

#include "printerutil/device_data.h"
#include "printerutil/register_sequence.h"
#include "printerutil_testing/fake_device_library.h"
#include "printerutil_testing/fake_waits.h"
#include "printerutil_testing/sample_registration.h"
#include "qelcmn/exceptions.h"
#include "qelcmn/text_utils.h"

using printerutil::testing::DeviceScript;
using printerutil::testing::FakeDeviceLibrary;

namespace {

constexpr char kRetry[] = "82080103 Register Printer Retry.";
constexpr char kUsbRetry[] = "82080104 USB Retry";
constexpr char kUsbRetryFail[] = "82080106 USB Retry Fail.";
constexpr char kIdentity[] = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId|EndSession";
constexpr char kPoll[] = "GetConnectivityTestResult 192.0.2.5 1";
constexpr char kAgree[] = "SetDeviceAgreement 192.0.2.5 1 2";

enum class Ids { None, FromPrinter, FromCloud };

// Where the screen sets the cancel flag: before the run, while the cloud holds the request of the
// n-th wait for a cloud task, or right after that task finished.
struct CancelAt {
    enum { Never, BeforeStart, InFlight, AfterDone } when = Never;
    int wait = 0;
    const char* path = "";
};

struct Row {
    const char* name;
    const wchar_t* kind = L"serviceA";
    int connection = 1;
    int launchMode = 2;
    int usbRetried = 0;
    unsigned char agreement = 2, agreementRequest = 0;
    bool noLibrary = false;
    bool outOfMemory = false; // the program itself fails on its way to the printer
    DeviceScript device = {};
    std::vector<std::string> rules = {};
    CancelAt cancel = {};
    // Expected: the outcome code, or the exception as "<code in hex> <message>"; the cloud's
    // requests with the query's STS after "capi" and the document's server status after "post";
    // the identities the document carried; the page; the printer's slots; the waits.
    int code = 0;
    const char* fails = "";
    const char* cloud = "";
    Ids ids = Ids::None;
    const char* page = "/gateway/page?reg=";
    std::string slots = "";
    std::vector<std::int64_t> pauses = {};
    int connectivity = 200; // the value left in the printer record
};

std::vector<std::int64_t> Polls(int n) {
    return std::vector<std::int64_t>(static_cast<std::size_t>(n), 1000);
}

std::string Repeat(const std::string& call, int n) {
    std::string text = call;
    for (int i = 1; i < n; ++i) {
        text += "|" + call;
    }
    return text;
}

class RegisterSequenceTest : public ::testing::Test {
protected:
    void Run(const Row& r) {
        SCOPED_TRACE(r.name);
        cloud_.Reset();
        for (const auto& rule : r.rules) {
            cloud_.AddRule(rule);
        }
        qelhttp::testing::FakeApplicationInfo info;
        printerutil::testing::SetSampleFacts(info);
        info.serviceKind = r.kind;
        info.launchMode = r.launchMode;
        info.usbRetried = r.usbRetried;
        const auto server = printerutil::testing::SampleServers(cloud_);
        const auto printer = printerutil::testing::SamplePrinter(r.connection);
        printer->agreement = r.agreement;
        printer->agreementRequest = r.agreementRequest;
        FakeDeviceLibrary library;
        library.missing = r.noLibrary;
        library.outOfMemory = r.outOfMemory;
        library.script = r.device;
        printerutil::testing::FakeWaits waits;
        printerutil::CancelFlag cancel{
            static_cast<char>(r.cancel.when == CancelAt::BeforeStart ? 1 : 0)};
        ScheduleCancel(r.cancel, waits, cancel);

        std::string outcome;
        try {
            printerutil::ScopedWaits scope(waits);
            const auto result =
                printerutil::StartRegisterSequence(&info, &cancel, server, printer).get();
            EXPECT_EQ(result.code, r.code);
            EXPECT_EQ(result.status, 0);
            const std::wstring page = *r.page ? cloud_.Url(qelcmn::Utf8ToWide(r.page)) : L"";
            EXPECT_EQ(result.url.substr(0, page.size()), page);
            EXPECT_EQ(result.url.empty(), page.empty());
        } catch (const qelcmn::qel_exception& e) {
            char code[16];
            std::snprintf(code, sizeof(code), "%08X ", e.ucode());
            outcome = code + qelcmn::WideToUtf8(e.message());
        }
        cloud_.Release();
        EXPECT_EQ(outcome, r.fails);
        EXPECT_EQ(library.SlotCalls(), r.slots);
        EXPECT_EQ(library.LiveObjects(), 0);
        EXPECT_EQ(waits.Pauses(), r.pauses);
        EXPECT_EQ(printer->connectivityStatus, r.connectivity);
        EXPECT_EQ(Received(r), r.cloud);
        if (cloud_.Count("/gateway/api0122") > 0) {
            CheckIdentities(r, library);
        }
    }

    // The cloud's requests in order, each checked by the cloud itself.
    std::string Received(const Row& r) {
        std::string received;
        for (int i = 0; i < cloud_.Count(); ++i) {
            EXPECT_EQ(Field(i, "problems"), "") << "request " << i;
            std::string path = Field(i, "path");
            if (path.rfind("/token/", 0) == 0 || path.rfind("/printerid/", 0) == 0) {
                path = path.substr(1, path.find('/', 1) - 1);
            } else if (path == "/gateway/capi") {
                const std::string query = Field(i, "query");
                path = "capi[" + Field(i, "info.q.STS") + "]";
                const char* channel = r.launchMode == 3 ? "PY3" : r.launchMode == 4 ? "HD" : "PY2";
                const std::string sts = Field(i, "info.q.STS");
                EXPECT_EQ(query, std::string("FNC=UREG_AUTO&CHA=") + channel +
                                     "&LNG=EN&OSV=W10.0&RES=C&ARA=JP&DEV=VZ+Printer+500&SFV=1.8.0" +
                                     (sts == "-" ? "" : "&STS=" + sts) + "&SNO=SN0042&UAH=NONE");
            } else if (path == "/gateway/api0122") {
                path = "post[" + Field(i, "info.server_status") + "]";
                EXPECT_EQ(Field(i, "info.configration"),
                          printerutil::IsUsbConnection(r.connection) ? "USB" : "LAN");
                EXPECT_EQ(Field(i, "info.area") + Field(i, "info.device_region"), "1C");
            } else {
                path = path.substr(path.rfind('/') + 1);
            }
            received += (received.empty() ? "" : " ") + path;
        }
        return received;
    }

    void CheckIdentities(const Row& r, const FakeDeviceLibrary& library) {
        const std::string temp = Field(-1, "info.temp_printerid", "/gateway/api0122");
        const std::string set = Field(-1, "info.set_printerid", "/gateway/api0122");
        if (r.ids == Ids::FromPrinter) {
            // The printer created its identity from the tokens the cloud gave out.
            const auto issued = [this](const char* name) {
                return Field(0, std::string("info.issued.") + name, "/token/");
            };
            const CreateIdRequest sent = library.LastCreateIdRequest();
            EXPECT_EQ(qelcmn::WideToUtf8(printerutil::FieldText(sent.access_token)),
                      issued("access_token"));
            EXPECT_EQ(qelcmn::WideToUtf8(printerutil::FieldText(sent.refresh_token)),
                      issued("refresh_token"));
            EXPECT_EQ(qelcmn::WideToUtf8(printerutil::FieldText(sent.server_url)), issued("url"));
            EXPECT_EQ(temp, qelcmn::WideToUtf8(FakeDeviceLibrary::CreatedIdentity(
                                qelcmn::Utf8ToWide(issued("access_token")))));
            EXPECT_EQ(set, "VTP-REG-0001");
        } else if (r.ids == Ids::FromCloud) {
            EXPECT_EQ(temp, Field(0, "info.issued.tempPrinterId", "/printerid/"));
            EXPECT_EQ(set, Field(0, "info.issued.printerId", "/printerid/"));
            EXPECT_EQ(Field(-1, "info.temp_printerid.issued", "/gateway/api0122") +
                          Field(-1, "info.set_printerid.issued", "/gateway/api0122"),
                      "11");
        } else {
            EXPECT_EQ(temp + set, "--");
        }
        EXPECT_EQ(Field(-1, "info.service", "/gateway/api0122"), r.ids == Ids::None ? "-" : "rem");
    }

    void ScheduleCancel(const CancelAt& at, printerutil::testing::FakeWaits& waits,
                        printerutil::CancelFlag& cancel) {
        if (at.when == CancelAt::InFlight) {
            cloud_.AddRule(std::string(R"({"hold": true, "times": 1, "path": ")") + at.path +
                           "\"}");
            waits.beforeAwait = [this, at, &cancel](int index, std::chrono::milliseconds) {
                if (index == at.wait) {
                    EXPECT_GE(cloud_.WaitForRequests(1, at.path), 1);
                    cancel = 1;
                    return false; // the slice ends with the request still held
                }
                if (index == at.wait + 1) {
                    cloud_.Release();
                }
                return true;
            };
        } else if (at.when == CancelAt::AfterDone) {
            waits.afterAwait = [at, &cancel](int index, bool done) {
                if (index == at.wait && done) {
                    cancel = 1;
                }
            };
        }
    }

    std::string Field(int i, const std::string& name, const std::string& path = "") {
        return cloud_.Field(i, name, path).value_or("-");
    }

    qelcloud::SimulatedCloud cloud_;
};

TEST_F(RegisterSequenceTest, ServiceA) {
    const std::string longToken =
        R"({"path": "/token/", "fields": {"access_token": ")" + std::string(256, 'T') + "\"}}";
    const Row rows[] = {
        {.name = "network",
         .code = 4,
         .cloud = "token capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromPrinter,
         .slots = kIdentity},
        {.name = "USB queue",
         .connection = 5,
         .code = 4,
         .cloud = "token capi[USB_OK] nbe post[OK]",
         .ids = Ids::FromPrinter,
         .slots = "SelectDevice 192.0.2.5 2|GetRegisteredId|CreateId|EndSession"},
        {.name = "agreement first",
         .agreement = 1,
         .agreementRequest = 1,
         .code = 4,
         .cloud = "token capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromPrinter,
         .slots = kAgree + std::string("|") + kIdentity},
        {.name = "agreement refused",
         .agreement = 3,
         .agreementRequest = 1,
         .device = {.setDeviceAgreement = 7},
         .fails = kRetry,
         .slots = kAgree},
        {.name = "token refused",
         .rules = {R"({"path": "/token/", "status": 401})"},
         .fails = "80030011 Http : Server Error. code=401",
         .cloud = "token"},
        {.name = "token too long for the printer",
         .rules = {longToken},
         .code = 4,
         .cloud = "token capi[LAN_ERROR] nbe post[ERROR]"},
        {.name = "busy",
         .device = {.getRegisteredId = 8},
         .fails = kRetry,
         .cloud = "token",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId"},
        {.name = "off",
         .device = {.createId = 11},
         .fails = kRetry,
         .cloud = "token",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId"},
        {.name = "port",
         .device = {.selectDevice = 5},
         .fails = kRetry,
         .cloud = "token",
         .slots = "SelectDevice 192.0.2.5 1"},
        {.name = "time-out",
         .device = {.endSession = 10},
         .fails = kRetry,
         .cloud = "token",
         .slots = kIdentity},
        {.name = "installer: busy reported",
         .launchMode = 3,
         .agreementRequest = 1,
         .device = {.getRegisteredId = 8},
         .code = 4,
         .cloud = "token capi[LAN_PRN_BUSY] nbe post[PRN_BUSY]",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId"},
        {.name = "installer: off reported",
         .launchMode = 3,
         .agreementRequest = 1,
         .device = {.createId = 11},
         .code = 4,
         .cloud = "token capi[LAN_OFF_POWER] nbe post[OFF_POWER]",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId"},
        {.name = "installer: time-out reported",
         .launchMode = 3,
         .agreementRequest = 1,
         .device = {.endSession = 10},
         .code = 4,
         .cloud = "token capi[LAN_TIME_OUT] nbe post[TIME_OUT]",
         .slots = kIdentity},
        {.name = "no internet on the network",
         .device = {.createId = 9},
         .code = 4,
         .cloud = "token capi[LAN_NO_INTERNET] nbe post[NO_INTERNET]",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId"},
        {.name = "other refusal",
         .device = {.createId = 7},
         .code = 4,
         .cloud = "token capi[LAN_ERROR] nbe post[ERROR]",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId"},
        {.name = "no internet over USB",
         .connection = 3,
         .device = {.createId = 9},
         .fails = kUsbRetry,
         .cloud = "token",
         .slots = "SelectDevice 192.0.2.5 3|GetRegisteredId|CreateId"},
        {.name = "no internet over USB again",
         .connection = 3,
         .usbRetried = 1,
         .device = {.createId = 9},
         .fails = kUsbRetryFail,
         .cloud = "token",
         .slots = "SelectDevice 192.0.2.5 3|GetRegisteredId|CreateId"},
        {.name = "no device library",
         .noLibrary = true,
         .code = 4,
         .cloud = "token capi[LAN] nbe post[-]"},
        {.name = "out of memory", .outOfMemory = true, .fails = kRetry, .cloud = "token"},
        {.name = "installer: out of memory becomes a plain report",
         .launchMode = 3,
         .agreementRequest = 1,
         .outOfMemory = true,
         .code = 3,
         .cloud = "token capi[LAN] nbe post[-]"},
        {.name = "launcher with a USB printer",
         .connection = 5,
         .launchMode = 4,
         .code = 4,
         .cloud = "capi[USB] nbe post[-]"},
        {.name = "cancel while the token is requested",
         .cancel = {CancelAt::InFlight, 0, "/token/"},
         .fails = "82030001 Http Request Canceled.",
         .cloud = "token"},
        {.name = "cancel once the token came",
         .cancel = {CancelAt::AfterDone, 0},
         .fails = "82080102 Get PrinterID Canceled.",
         .cloud = "token"},
        {.name = "cancel while reporting",
         .cancel = {CancelAt::InFlight, 1, "/gateway/capi"},
         .fails = "82030001 Http : Request Canceled.",
         .cloud = "token capi[LAN_OK]",
         .slots = kIdentity},
        {.name = "out of service",
         .rules = {R"({"path": "/gateway/capi", "fields": {"code": "CAPI_OUT_SERVICE"}})"},
         .code = 2,
         .cloud = "token capi[LAN_OK]",
         .page = "/gateway/page?maintenance=1",
         .slots = kIdentity},
        {.name = "success without a page",
         .rules = {R"({"path": "/gateway/nbe", "fields": {"CAP-API0122": null}})"},
         .code = 4,
         .cloud = "token capi[LAN_OK] nbe",
         .page = "",
         .slots = kIdentity},
        {.name = "empty result",
         .rules = {R"({"path": "/gateway/nbe", "fields": {"code": null}})"},
         .fails = "80030010 Network Error()",
         .cloud = "token capi[LAN_OK] nbe",
         .slots = kIdentity},
    };
    for (const Row& r : rows) {
        Run(r);
    }
}

TEST_F(RegisterSequenceTest, ServiceXAutoAndOthers) {
    const std::string printerIdRefused = R"({"path": "/printerid/", "status": 500})";
    const Row rows[] = {
        {.name = "serviceX",
         .kind = L"serviceX",
         .code = 5,
         .cloud = "printerid capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromCloud,
         .pauses = {5000}},
        {.name = "serviceX over USB is auto",
         .kind = L"serviceX",
         .connection = 3,
         .code = 3,
         .cloud = "capi[USB] nbe post[-]"},
        {.name = "serviceX without a temporary identity",
         .kind = L"serviceX",
         .rules = {R"({"path": "/printerid/", "fields": {"tempPrinterId": null}})"},
         .fails = "80030010 Network Error",
         .cloud = "printerid",
         .pauses = {5000}},
        {.name = "serviceX refused",
         .kind = L"serviceX",
         .rules = {printerIdRefused},
         .fails = "80030011 Http : Server Error. code=500",
         .cloud = "printerid",
         .pauses = {5000}},
        {.name = "installer: refusal reported as auto",
         .kind = L"serviceX",
         .launchMode = 3,
         .agreementRequest = 1,
         .rules = {printerIdRefused},
         .code = 3,
         .cloud = "printerid capi[LAN] nbe post[-]",
         .pauses = {5000}},
        {.name = "installer without the agreement step is auto",
         .kind = L"serviceX",
         .launchMode = 3,
         .code = 3,
         .cloud = "capi[LAN] nbe post[-]"},
        {.name = "cancel while the printer-ID is requested",
         .kind = L"serviceX",
         .cancel = {CancelAt::InFlight, 0, "/printerid/"},
         .fails = "82030001 Http Request Canceled.",
         .cloud = "printerid",
         .pauses = {5000}},
        {.name = "cancel once the printer-ID came",
         .kind = L"serviceX",
         .cancel = {CancelAt::AfterDone, 0},
         .fails = "82080102 Register Printer Canceled.",
         .cloud = "printerid",
         .pauses = {5000}},
        {.name = "auto", .kind = L"auto", .code = 3, .cloud = "capi[LAN] nbe post[-]"},
        {.name = "auto over USB",
         .kind = L"auto",
         .connection = 5,
         .code = 3,
         .cloud = "capi[USB] nbe post[-]"},
        {.name = "auto out of service",
         .kind = L"auto",
         .rules = {R"({"path": "/gateway/api0122", "fields": {"code": "CAPI_OUT_SERVICE"}})"},
         .code = 2,
         .cloud = "capi[LAN] nbe post[-]",
         .page = "/gateway/page?maintenance=1"},
        {.name = "auto cancelled before it began",
         .kind = L"auto",
         .cancel = {CancelAt::BeforeStart},
         .fails = "82080102 Register Printer Canceled."},
        {.name = "installer: a cancel becomes a plain report",
         .kind = L"auto",
         .launchMode = 3,
         .cancel = {CancelAt::BeforeStart},
         .code = 3,
         .cloud = "capi[LAN] nbe post[-]"},
        {.name = "unknown kind", .kind = L"serviceZ", .code = 0, .cloud = "capi[LAN] nbe post[-]"},
    };
    for (const Row& r : rows) {
        Run(r);
    }
}

TEST_F(RegisterSequenceTest, ServiceY) {
    const auto answers = [](std::vector<std::pair<int, unsigned char>> in) {
        DeviceScript s;
        s.connectivity = std::move(in);
        return s;
    };
    const std::string poll32 = Repeat(kPoll, 32);
    const Row rows[] = {
        {.name = "passed",
         .kind = L"serviceY",
         .code = 5,
         .cloud = "printerid capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromCloud,
         .slots = kPoll,
         .connectivity = 202},
        {.name = "passed after two polls",
         .kind = L"serviceY",
         .device = answers({{0, 200}, {0, 201}, {0, 202}}),
         .code = 5,
         .cloud = "printerid capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromCloud,
         .slots = Repeat(kPoll, 3),
         .pauses = Polls(2),
         .connectivity = 202},
        {.name = "agreement always told",
         .kind = L"serviceY",
         .agreement = 0,
         .agreementRequest = 1,
         .code = 5,
         .cloud = "printerid capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromCloud,
         .slots = kAgree + std::string("|") + kPoll,
         .connectivity = 202},
        {.name = "server error",
         .kind = L"serviceY",
         .device = answers({{0, 203}}),
         .code = 5,
         .cloud = "capi[LAN_CT_SERVER_ERR] nbe post[ERROR]",
         .slots = kPoll,
         .connectivity = 203},
        {.name = "no internet",
         .kind = L"serviceY",
         .device = answers({{0, 204}}),
         .code = 5,
         .cloud = "capi[LAN_CT_NOT_INTERNET] nbe post[NO_INTERNET]",
         .slots = kPoll,
         .connectivity = 204},
        {.name = "time-out",
         .kind = L"serviceY",
         .device = answers({{0, 205}}),
         .code = 5,
         .cloud = "capi[LAN_CT_TIMEOUT] nbe post[ERROR]",
         .slots = kPoll,
         .connectivity = 205},
        {.name = "other error",
         .kind = L"serviceY",
         .device = answers({{0, 206}}),
         .code = 5,
         .cloud = "capi[LAN_CT_OTHER_ERR] nbe post[NO_INTERNET]",
         .slots = kPoll,
         .connectivity = 206},
        {.name = "no internet over USB",
         .kind = L"serviceY",
         .connection = 3,
         .device = answers({{0, 204}}),
         .fails = kUsbRetry,
         .slots = "GetConnectivityTestResult 192.0.2.5 3"},
        {.name = "other error over USB again",
         .kind = L"serviceY",
         .connection = 5,
         .usbRetried = 1,
         .device = answers({{0, 206}}),
         .fails = kUsbRetryFail,
         .slots = "GetConnectivityTestResult 192.0.2.5 2"},
        {.name = "still running after 30 s",
         .kind = L"serviceY",
         .device = answers({{0, 201}}),
         .fails = kRetry,
         .slots = poll32,
         .pauses = Polls(31)},
        {.name = "never answered",
         .kind = L"serviceY",
         .device = answers({{0, 200}}),
         .fails = kRetry,
         .slots = poll32,
         .pauses = Polls(31)},
        {.name = "poll fails",
         .kind = L"serviceY",
         .device = answers({{2, 200}}),
         .fails = kRetry,
         .slots = kPoll},
        {.name = "initialize fails",
         .kind = L"serviceY",
         .device = {.initialize = 2},
         .fails = kRetry},
        {.name = "no device library", .kind = L"serviceY", .noLibrary = true, .fails = kRetry},
        {.name = "installer: a failed test becomes a plain report",
         .kind = L"serviceY",
         .launchMode = 3,
         .agreementRequest = 1,
         .device = answers({{0, 200}}),
         .code = 3,
         .cloud = "capi[LAN] nbe post[-]",
         .slots = kAgree + std::string("|") + poll32,
         .pauses = Polls(31)},
    };
    for (const Row& r : rows) {
        Run(r);
    }
}

TEST(RegisterKind, ByServiceKindText) {
    const std::pair<const wchar_t*, int> rows[] = {{L"auto", 1},     {L"serviceA", 2},
                                                   {L"serviceX", 3}, {L"serviceY", 4},
                                                   {L"ServiceA", 0}, {L"", 0}};
    for (const auto& [text, kind] : rows) {
        EXPECT_EQ(printerutil::GetRegisterKind(text), kind);
    }
}

} // namespace
