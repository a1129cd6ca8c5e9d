// The registration sequence end to end over a scripted device library and the simulated cloud:
// every kind over the network and USB, with the printer's and the cloud's answers, cancels at
// each wait, and what the cloud received (the query in order, the decrypted document, the
// identity the printer created from the cloud's tokens).
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "fake_application_info.h"
#include "printerutil/device_data.h"
#include "printerutil/register_sequence.h"
#include "printerutil_testing/fake_device_library.h"
#include "printerutil_testing/fake_waits.h"
#include "qelcmn/exceptions.h"
#include "qelcmn/text_utils.h"
#include "simulated_cloud.h"

using kivutil::test::FakeApplicationInfo;
using printerutil::testing::DeviceScript;
using printerutil::testing::FakeDeviceLibrary;
using printerutil::testing::FakeWaits;

namespace {

constexpr std::uint32_t kCancelled = 0x82080102;
constexpr std::uint32_t kRetry = 0x82080103;
constexpr std::uint32_t kUsbRetry = 0x82080104;
constexpr std::uint32_t kUsbRetryFailed = 0x82080106;
constexpr std::uint32_t kHttpCanceled = 0x82030001;
constexpr std::uint32_t kNetworkError = 0x80030010;
constexpr std::uint32_t kServerError = 0x80030011;

enum class Ids { None, FromPrinter, FromCloud };
enum class Page { Registered, Maintenance, None };

// Where the screen sets the cancel flag: before the run, while the cloud holds the request of
// the n-th wait for a cloud task, or right after that task finished.
struct CancelAt {
    enum { Never, BeforeStart, InFlight, AfterDone } when = Never;
    int wait = 0;
    const char* path = "";
};

struct Row {
    const char* name;
    const wchar_t* serviceKind = L"serviceA";
    int connection = 1;
    int launchMode = 2;
    int usbRetried = 0;
    unsigned char agreement = 2;
    unsigned char agreementRequest = 0;
    bool noLibrary = false;
    void (*script)(DeviceScript&) = nullptr;
    std::vector<std::string> rules = {};
    CancelAt cancel = {};
    // Expected.
    int code = 0;
    std::uint32_t error = 0; // else the exception's code
    const wchar_t* message = L"";
    const char* requests = ""; // the cloud's requests in order
    const char* sts = "";      // the STS query value; "-" for none
    const char* status = "-";  // the document's server status; "-" for none
    Ids ids = Ids::None;
    Page page = Page::Registered;
    const char* slots = ""; // the device slots called, lifecycle left out
    std::vector<std::int64_t> pauses = {};
    int connectivity = 200; // the value left in the printer record
};

const char kIdentity[] = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId|EndSession";
const char kReport[] = "capi nbe post";
const char kTokenReport[] = "token capi nbe post";
const char kPrinterIdReport[] = "printerid capi nbe post";

std::string ShortName(const std::string& path) {
    if (path.rfind("/token/", 0) == 0) {
        return "token";
    }
    if (path.rfind("/printerid/", 0) == 0) {
        return "printerid";
    }
    if (path == "/gateway/api0122") {
        return "post";
    }
    return path.substr(path.rfind('/') + 1);
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const auto& part : parts) {
        text += (text.empty() ? "" : separator) + part;
    }
    return text;
}

std::vector<std::int64_t> Polls(int n) {
    return std::vector<std::int64_t>(static_cast<std::size_t>(n), 1000);
}

class RegisterSequenceTest : public ::testing::Test {
protected:
    void Run(const Row& r) {
        SCOPED_TRACE(r.name);
        cloud_.Reset();
        for (const auto& rule : r.rules) {
            cloud_.AddRule(rule);
        }
        if (r.cancel.when == CancelAt::InFlight) {
            cloud_.AddRule(std::string(R"({"hold": true, "times": 1, "path": ")") + r.cancel.path +
                           "\"}");
        }
        FakeApplicationInfo info;
        info.serviceKind = r.serviceKind;
        info.launchMode = r.launchMode;
        info.usbRetried = r.usbRetried;
        info.languageCode = L"EN";
        info.osVersion = L"W10.0";
        info.residence = L"asia";
        info.area = L"JP";
        info.regionCode = L"C";
        info.deviceName = L"VZ Printer 500";
        info.serialNumber = L"SN0042";
        info.userAgent = L"QelRegistration/1.8.0 (W10.0)";
        info.version = L"1.8.0";

        auto server = std::make_shared<printerutil::stServerParam>();
        server->gatewayAddress = cloud_.Url(L"/gateway/capi");
        server->tokenAddress = cloud_.Url(L"/token/a/v1/register");
        server->printerIdAddress = cloud_.Url(L"/printerid/v1/printers");
        server->serviceCode = L"rem";
        server->serviceId = L"001";
        auto printer = std::make_shared<printerutil::stRegsterParam>();
        printer->modelName = L"VZ Printer 500";
        printer->serialNumber = L"SN0042";
        printer->macAddress = L"00:1B:A9:3C:00:01";
        printer->region = L"C";
        printer->agreement = r.agreement;
        printer->agreementRequest = r.agreementRequest;
        printer->address = L"192.0.2.5";
        printer->connectionKind = r.connection;

        FakeDeviceLibrary library;
        library.missing = r.noLibrary;
        if (r.script != nullptr) {
            r.script(library.script);
        }
        FakeWaits waits;
        printerutil::CancelFlag cancel{0};
        ScheduleCancel(r.cancel, waits, cancel);
        if (r.cancel.when == CancelAt::BeforeStart) {
            cancel = 1;
        }

        printerutil::ScopedWaits scope(waits);
        auto task = printerutil::StartRegisterSequence(&info, &cancel, server, printer);
        try {
            const auto result = task.get();
            EXPECT_EQ(r.error, 0u) << "no exception";
            EXPECT_EQ(result.status, 0);
            EXPECT_EQ(result.code, r.code);
            const std::wstring page = r.page == Page::Registered    ? L"/gateway/page?reg="
                                      : r.page == Page::Maintenance ? L"/gateway/page?maintenance=1"
                                                                    : L"";
            if (r.page == Page::None) {
                EXPECT_EQ(result.url, L"");
            } else {
                EXPECT_EQ(result.url.rfind(cloud_.Url(page), 0), 0u)
                    << qelcmn::WideToUtf8(result.url);
            }
        } catch (const qelcmn::qel_exception& e) {
            EXPECT_EQ(e.ucode(), r.error) << qelcmn::WideToUtf8(e.message());
            EXPECT_EQ(e.message(), r.message);
        }
        cloud_.Release();

        // What the printer was asked, each object ended.
        std::vector<std::string> slots;
        for (const auto& call : library.Calls()) {
            if (call != "Create" && call != "Initialize" && call != "Terminate" &&
                call != "Delete") {
                slots.push_back(call);
            }
        }
        EXPECT_EQ(Join(slots, "|"), r.slots);
        EXPECT_EQ(library.LiveObjects(), 0);
        EXPECT_EQ(waits.Pauses(), r.pauses);
        EXPECT_EQ(printer->connectivityStatus, r.connectivity);

        // What the cloud received.
        std::vector<std::string> paths;
        for (int i = 0; i < cloud_.Count(); ++i) {
            paths.push_back(ShortName(cloud_.Field(i, "path").value_or("?")));
            EXPECT_EQ(cloud_.Field(i, "problems").value_or("?"), "") << "request " << i;
        }
        EXPECT_EQ(Join(paths, " "), r.requests);
        if (std::string(r.requests).find("capi") != std::string::npos) {
            CheckQuery(r, cloud_.Field(0, "query", "/gateway/capi").value_or("?"));
        }
        if (std::string(r.requests).find("post") != std::string::npos) {
            CheckDocument(r, library);
        }
    }

    void ScheduleCancel(const CancelAt& at, FakeWaits& waits, printerutil::CancelFlag& cancel) {
        if (at.when == CancelAt::InFlight) {
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

    static void CheckQuery(const Row& r, const std::string& query) {
        const char* channel = r.launchMode == 3 ? "PY3" : r.launchMode == 4 ? "HD" : "PY2";
        std::string expected = std::string("FNC=UREG_AUTO&CHA=") + channel +
                               "&LNG=EN&OSV=W10.0&RES=C&ARA=JP&DEV=VZ+Printer+500&SFV=1.8.0";
        if (std::string(r.sts) != "-") {
            expected += std::string("&STS=") + r.sts;
        }
        expected += "&SNO=SN0042&UAH=NONE";
        EXPECT_EQ(query, expected);
    }

    void CheckDocument(const Row& r, const FakeDeviceLibrary& library) {
        const auto field = [this](const char* name) {
            return cloud_.Field(-1, std::string("info.") + name, "/gateway/api0122").value_or("-");
        };
        EXPECT_EQ(field("service"), r.ids == Ids::None ? "-" : "rem");
        EXPECT_EQ(field("area"), "1");
        EXPECT_EQ(field("device_region"), "C");
        EXPECT_EQ(field("serial_number"), "SN0042");
        EXPECT_EQ(field("configration"), r.connection == 3 || r.connection == 5 ? "USB" : "LAN");
        EXPECT_EQ(field("server_status"), r.status);
        if (r.ids == Ids::FromPrinter) {
            // The printer created its identity from the tokens the cloud gave out.
            const auto issued = [this](const char* name) {
                return cloud_.Field(0, std::string("info.issued.") + name, "/token/").value_or("?");
            };
            const CreateIdRequest sent = library.LastCreateIdRequest();
            EXPECT_EQ(qelcmn::WideToUtf8(printerutil::FieldText(sent.access_token)),
                      issued("access_token"));
            EXPECT_EQ(qelcmn::WideToUtf8(printerutil::FieldText(sent.refresh_token)),
                      issued("refresh_token"));
            EXPECT_EQ(qelcmn::WideToUtf8(printerutil::FieldText(sent.server_url)), issued("url"));
            EXPECT_EQ(field("temp_printerid"),
                      qelcmn::WideToUtf8(FakeDeviceLibrary::CreatedIdentity(
                          qelcmn::Utf8ToWide(issued("access_token")))));
            EXPECT_EQ(field("set_printerid"), "VTP-REG-0001");
        } else if (r.ids == Ids::FromCloud) {
            EXPECT_EQ(field("temp_printerid"),
                      cloud_.Field(0, "info.issued.tempPrinterId", "/printerid/").value_or("?"));
            EXPECT_EQ(field("set_printerid"),
                      cloud_.Field(0, "info.issued.printerId", "/printerid/").value_or("?"));
            EXPECT_EQ(field("temp_printerid.issued"), "1");
            EXPECT_EQ(field("set_printerid.issued"), "1");
        } else {
            EXPECT_EQ(field("temp_printerid"), "-");
            EXPECT_EQ(field("set_printerid"), "-");
        }
    }

    qelcloud::SimulatedCloud cloud_;
};

void Busy(DeviceScript& s) {
    s.getRegisteredId = 8;
}
void Off(DeviceScript& s) {
    s.createId = 11;
}
void PortFails(DeviceScript& s) {
    s.selectDevice = 5;
}
void ServerTimeOut(DeviceScript& s) {
    s.endSession = 10;
}
void NoInternet(DeviceScript& s) {
    s.createId = 9;
}
void Refused(DeviceScript& s) {
    s.createId = 7;
}
void AgreementRefused(DeviceScript& s) {
    s.setDeviceAgreement = 7;
}
void InitializeFails(DeviceScript& s) {
    s.initialize = 2;
}
void NoObjectAnswer(DeviceScript& s) {
    s.connectivity = {{2, 200}};
}
void Pending(DeviceScript& s) {
    s.connectivity = {{0, 201}};
}
void NotYet(DeviceScript& s) {
    s.connectivity = {{0, 200}};
}
void RunningThenPassed(DeviceScript& s) {
    s.connectivity = {{0, 200}, {0, 201}, {0, 202}};
}
template <unsigned char V> void Connectivity(DeviceScript& s) {
    s.connectivity = {{0, V}};
}

TEST_F(RegisterSequenceTest, ServiceA) {
    const Row rows[] = {
        {.name = "registered over the network",
         .code = 4,
         .requests = kTokenReport,
         .sts = "LAN_OK",
         .status = "OK",
         .ids = Ids::FromPrinter,
         .slots = kIdentity},
        {.name = "registered over USB",
         .connection = 5,
         .code = 4,
         .requests = kTokenReport,
         .sts = "USB_OK",
         .status = "OK",
         .ids = Ids::FromPrinter,
         .slots = "SelectDevice 192.0.2.5 2|GetRegisteredId|CreateId|EndSession"},
        {.name = "agreement first",
         .agreement = 1,
         .agreementRequest = 1,
         .code = 4,
         .requests = kTokenReport,
         .sts = "LAN_OK",
         .status = "OK",
         .ids = Ids::FromPrinter,
         .slots = "SetDeviceAgreement 192.0.2.5 1 2|SelectDevice 192.0.2.5 1|GetRegisteredId|"
                  "CreateId|EndSession"},
        {.name = "agreement refused",
         .agreement = 3,
         .agreementRequest = 1,
         .script = AgreementRefused,
         .error = kRetry,
         .message = L"Register Printer Retry.",
         .slots = "SetDeviceAgreement 192.0.2.5 1 2"},
        {.name = "token refused",
         .rules = {R"({"path": "/token/", "status": 401})"},
         .error = kServerError,
         .message = L"Http : Server Error. code=401",
         .requests = "token"},
        {.name = "token too long for the printer",
         .rules = {R"({"path": "/token/", "fields": {"access_token": ")" + std::string(256, 'T') +
                   "\"}}"},
         .code = 4,
         .requests = kTokenReport,
         .sts = "LAN_ERROR",
         .status = "ERROR"},
        {.name = "printer busy",
         .script = Busy,
         .error = kRetry,
         .message = L"Register Printer Retry.",
         .requests = "token",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId"},
        {.name = "printer off",
         .script = Off,
         .error = kRetry,
         .message = L"Register Printer Retry.",
         .requests = "token",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId"},
        {.name = "port fails",
         .script = PortFails,
         .error = kRetry,
         .message = L"Register Printer Retry.",
         .requests = "token",
         .slots = "SelectDevice 192.0.2.5 1"},
        {.name = "server time-out",
         .script = ServerTimeOut,
         .error = kRetry,
         .message = L"Register Printer Retry.",
         .requests = "token",
         .slots = kIdentity},
        {.name = "installer: busy is reported",
         .launchMode = 3,
         .agreementRequest = 1,
         .script = Busy,
         .code = 4,
         .requests = kTokenReport,
         .sts = "LAN_PRN_BUSY",
         .status = "PRN_BUSY",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId"},
        {.name = "installer: off is reported",
         .launchMode = 3,
         .agreementRequest = 1,
         .script = Off,
         .code = 4,
         .requests = kTokenReport,
         .sts = "LAN_OFF_POWER",
         .status = "OFF_POWER",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId"},
        {.name = "no internet on the network is reported",
         .script = NoInternet,
         .code = 4,
         .requests = kTokenReport,
         .sts = "LAN_NO_INTERNET",
         .status = "NO_INTERNET",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId"},
        {.name = "other refusal is reported",
         .script = Refused,
         .code = 4,
         .requests = kTokenReport,
         .sts = "LAN_ERROR",
         .status = "ERROR",
         .slots = "SelectDevice 192.0.2.5 1|GetRegisteredId|CreateId"},
        {.name = "no internet over USB",
         .connection = 3,
         .script = NoInternet,
         .error = kUsbRetry,
         .message = L"USB Retry",
         .requests = "token",
         .slots = "SelectDevice 192.0.2.5 3|GetRegisteredId|CreateId"},
        {.name = "no internet over USB again",
         .connection = 3,
         .usbRetried = 1,
         .script = NoInternet,
         .error = kUsbRetryFailed,
         .message = L"USB Retry Fail.",
         .requests = "token",
         .slots = "SelectDevice 192.0.2.5 3|GetRegisteredId|CreateId"},
        {.name = "no device library",
         .noLibrary = true,
         .code = 4,
         .requests = kTokenReport,
         .sts = "LAN"},
        {.name = "launcher with a USB printer reports at once",
         .connection = 5,
         .launchMode = 4,
         .code = 4,
         .requests = kReport,
         .sts = "USB"},
        {.name = "cancel while the token is requested",
         .cancel = {CancelAt::InFlight, 0, "/token/"},
         .error = kHttpCanceled,
         .message = L"Http Request Canceled.",
         .requests = "token"},
        {.name = "cancel once the token came",
         .cancel = {CancelAt::AfterDone, 0},
         .error = kCancelled,
         .message = L"Get PrinterID Canceled.",
         .requests = "token"},
        {.name = "cancel while reporting",
         .cancel = {CancelAt::InFlight, 1, "/gateway/capi"},
         .error = kHttpCanceled,
         .message = L"Http : Request Canceled.",
         .requests = "token capi",
         .sts = "LAN_OK",
         .slots = kIdentity},
        {.name = "out of service",
         .rules = {R"({"path": "/gateway/capi", "fields": {"code": "CAPI_OUT_SERVICE"}})"},
         .code = 2,
         .requests = "token capi",
         .sts = "LAN_OK",
         .page = Page::Maintenance,
         .slots = kIdentity},
        {.name = "success without a page",
         .rules = {R"({"path": "/gateway/nbe", "fields": {"CAP-API0122": null}})"},
         .code = 4,
         .requests = "token capi nbe",
         .sts = "LAN_OK",
         .page = Page::None,
         .slots = kIdentity},
        {.name = "empty result",
         .rules = {R"({"path": "/gateway/nbe", "fields": {"code": null}})"},
         .error = kNetworkError,
         .message = L"Network Error()",
         .requests = "token capi nbe",
         .sts = "LAN_OK",
         .slots = kIdentity},
    };
    for (const Row& r : rows) {
        Run(r);
    }
}

TEST_F(RegisterSequenceTest, ServiceXAndAuto) {
    const Row rows[] = {
        {.name = "serviceX over the network",
         .serviceKind = L"serviceX",
         .code = 5,
         .requests = kPrinterIdReport,
         .sts = "LAN_OK",
         .status = "OK",
         .ids = Ids::FromCloud,
         .pauses = {5000}},
        {.name = "serviceX over USB registers as auto",
         .serviceKind = L"serviceX",
         .connection = 3,
         .code = 3,
         .requests = kReport,
         .sts = "USB"},
        {.name = "serviceX without a temporary identity",
         .serviceKind = L"serviceX",
         .rules = {R"({"path": "/printerid/", "fields": {"tempPrinterId": null}})"},
         .error = kNetworkError,
         .message = L"Network Error",
         .requests = "printerid",
         .pauses = {5000}},
        {.name = "serviceX refused by the printer-ID server",
         .serviceKind = L"serviceX",
         .rules = {R"({"path": "/printerid/", "status": 500})"},
         .error = kServerError,
         .message = L"Http : Server Error. code=500",
         .requests = "printerid",
         .pauses = {5000}},
        {.name = "installer: a refused printer-ID request becomes a plain report",
         .serviceKind = L"serviceX",
         .launchMode = 3,
         .agreementRequest = 1,
         .rules = {R"({"path": "/printerid/", "status": 500})"},
         .code = 3,
         .requests = "printerid capi nbe post",
         .sts = "LAN",
         .pauses = {5000}},
        {.name = "installer without the agreement step registers as auto",
         .serviceKind = L"serviceX",
         .launchMode = 3,
         .code = 3,
         .requests = kReport,
         .sts = "LAN"},
        {.name = "cancel while the printer-ID is requested",
         .serviceKind = L"serviceX",
         .cancel = {CancelAt::InFlight, 0, "/printerid/"},
         .error = kHttpCanceled,
         .message = L"Http Request Canceled.",
         .requests = "printerid",
         .pauses = {5000}},
        {.name = "cancel once the printer-ID came",
         .serviceKind = L"serviceX",
         .cancel = {CancelAt::AfterDone, 0},
         .error = kCancelled,
         .message = L"Register Printer Canceled.",
         .requests = "printerid",
         .pauses = {5000}},
        {.name = "auto", .serviceKind = L"auto", .code = 3, .requests = kReport, .sts = "LAN"},
        {.name = "auto over USB",
         .serviceKind = L"auto",
         .connection = 5,
         .code = 3,
         .requests = kReport,
         .sts = "USB"},
        {.name = "auto out of service",
         .serviceKind = L"auto",
         .rules = {R"({"path": "/gateway/api0122", "fields": {"code": "CAPI_OUT_SERVICE"}})"},
         .code = 2,
         .requests = kReport,
         .sts = "LAN",
         .page = Page::Maintenance},
        {.name = "auto cancelled before it began",
         .serviceKind = L"auto",
         .cancel = {CancelAt::BeforeStart},
         .error = kCancelled,
         .message = L"Register Printer Canceled."},
        {.name = "installer: a cancel becomes a plain report",
         .serviceKind = L"auto",
         .launchMode = 3,
         .cancel = {CancelAt::BeforeStart},
         .code = 3,
         .requests = kReport,
         .sts = "LAN"},
        {.name = "unknown kind reports and gives nothing",
         .serviceKind = L"serviceZ",
         .code = 0,
         .requests = kReport,
         .sts = "LAN"},
    };
    for (const Row& r : rows) {
        Run(r);
    }
}

TEST_F(RegisterSequenceTest, ServiceY) {
    const char* poll = "GetConnectivityTestResult 192.0.2.5 1";
    const std::string polls3 = std::string(poll) + "|" + poll + "|" + poll;
    std::string polls32 = poll;
    for (int i = 1; i < 32; ++i) {
        polls32 += std::string("|") + poll;
    }
    const std::string agreedThenPolls32 = "SetDeviceAgreement 192.0.2.5 1 2|" + polls32;
    const Row rows[] = {
        {.name = "passed",
         .serviceKind = L"serviceY",
         .code = 5,
         .requests = kPrinterIdReport,
         .sts = "LAN_OK",
         .status = "OK",
         .ids = Ids::FromCloud,
         .slots = poll,
         .connectivity = 202},
        {.name = "passed after two polls",
         .serviceKind = L"serviceY",
         .script = RunningThenPassed,
         .code = 5,
         .requests = kPrinterIdReport,
         .sts = "LAN_OK",
         .status = "OK",
         .ids = Ids::FromCloud,
         .slots = polls3.c_str(),
         .pauses = Polls(2),
         .connectivity = 202},
        {.name = "agreement always told",
         .serviceKind = L"serviceY",
         .agreement = 0,
         .agreementRequest = 1,
         .code = 5,
         .requests = kPrinterIdReport,
         .sts = "LAN_OK",
         .status = "OK",
         .ids = Ids::FromCloud,
         .slots = "SetDeviceAgreement 192.0.2.5 1 2|GetConnectivityTestResult 192.0.2.5 1",
         .connectivity = 202},
        {.name = "server error",
         .serviceKind = L"serviceY",
         .script = Connectivity<203>,
         .code = 5,
         .requests = kReport,
         .sts = "LAN_CT_SERVER_ERR",
         .status = "ERROR",
         .slots = poll,
         .connectivity = 203},
        {.name = "no internet on the network",
         .serviceKind = L"serviceY",
         .script = Connectivity<204>,
         .code = 5,
         .requests = kReport,
         .sts = "LAN_CT_NOT_INTERNET",
         .status = "NO_INTERNET",
         .slots = poll,
         .connectivity = 204},
        {.name = "time-out",
         .serviceKind = L"serviceY",
         .script = Connectivity<205>,
         .code = 5,
         .requests = kReport,
         .sts = "LAN_CT_TIMEOUT",
         .status = "ERROR",
         .slots = poll,
         .connectivity = 205},
        {.name = "other error on the network",
         .serviceKind = L"serviceY",
         .script = Connectivity<206>,
         .code = 5,
         .requests = kReport,
         .sts = "LAN_CT_OTHER_ERR",
         .status = "NO_INTERNET",
         .slots = poll,
         .connectivity = 206},
        {.name = "no internet over USB",
         .serviceKind = L"serviceY",
         .connection = 3,
         .script = Connectivity<204>,
         .error = kUsbRetry,
         .message = L"USB Retry",
         .slots = "GetConnectivityTestResult 192.0.2.5 3"},
        {.name = "other error over USB again",
         .serviceKind = L"serviceY",
         .connection = 5,
         .usbRetried = 1,
         .script = Connectivity<206>,
         .error = kUsbRetryFailed,
         .message = L"USB Retry Fail.",
         .slots = "GetConnectivityTestResult 192.0.2.5 2"},
        {.name = "still running after 30 s",
         .serviceKind = L"serviceY",
         .script = Pending,
         .error = kRetry,
         .message = L"Register Printer Retry.",
         .slots = polls32.c_str(),
         .pauses = Polls(31)},
        {.name = "never answered",
         .serviceKind = L"serviceY",
         .script = NotYet,
         .error = kRetry,
         .message = L"Register Printer Retry.",
         .slots = polls32.c_str(),
         .pauses = Polls(31)},
        {.name = "poll fails",
         .serviceKind = L"serviceY",
         .script = NoObjectAnswer,
         .error = kRetry,
         .message = L"Register Printer Retry.",
         .slots = poll},
        {.name = "initialize fails",
         .serviceKind = L"serviceY",
         .script = InitializeFails,
         .error = kRetry,
         .message = L"Register Printer Retry."},
        {.name = "no device library",
         .serviceKind = L"serviceY",
         .noLibrary = true,
         .error = kRetry,
         .message = L"Register Printer Retry."},
        {.name = "installer: a failed test becomes a plain report",
         .serviceKind = L"serviceY",
         .launchMode = 3,
         .agreementRequest = 1,
         .script = NotYet,
         .code = 3,
         .requests = kReport,
         .sts = "LAN",
         .slots = agreedThenPolls32.c_str(),
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
