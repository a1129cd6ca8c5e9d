// The installer's and the launcher's registrations as their flows run them, against a printer
// of the simulated world (through vtqeldevc.dll and the stand-ins) and the simulated cloud: the
// printer looked up at the command line's queue name, the invitation content prepared for it,
// then the registration under the status progress dialog over a hidden window, with the
// program's own system: the page kept for "-REG2", opened in the test browser otherwise; the
// launcher's boxes; the installer silent on failure.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "app/TansuApp.h"
#include "app/start_route.h"
#include "office_world.h"
#include "printerutil/device_operations.h"
#include "printerutil/server_param.h"
#include "printerutil_testing/fake_waits.h"
#include "printerutil_testing/sample_registration.h"
#include "qelcmn/exceptions.h"
#include "qelhttp/http_engine_options.h"
#include "qelinfo/ApplicationInfo.h"
#include "qelworld/qelworld_client.h"
#include "simulated_cloud.h"
#include "simulated_flow_fixture.h"
#include "testkit/dialog_robot.h"
#include "testkit/page_recorder.h"
#include "testkit/table_part.h"
#include "testkit/text_ids.h"
#include "win/module_path.h"
#include "win/unique_any.h"
#include "winutil/open_page.h"
#include "winutil/registry_values.h"

namespace {

using qeltest::DialogView;
using qeltest::TextId;

constexpr const wchar_t* kQueue = qelapptest::kOfficeQueue;
constexpr const wchar_t* kModel = qelapptest::kOfficeModel;
constexpr const wchar_t* kSerial = qelapptest::kOfficeSerial;
// A row adds the printer's service and connection test.
constexpr const char* kWorld = qelapptest::kOfficeWorld;

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// The printer registers with the "rem" service for the European user.
using FlowRegistration = qeltest::SimulatedFlowTest;

TEST_F(FlowRegistration, TheInstallerKeepsOrOpensThePageAndTheLauncherTellsWhatFailed) {
    const qeltest::PageRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    struct Row {
        const char* name;
        std::vector<const wchar_t*> args;
        const char* service;  // the printer's qel service: "serviceA", or "serviceD" with a
                              // connection test that never ends
        bool installerAgreed; // "SEND_INFO_AGREE" 1 below the serial number's sub-key
        const char* rule;     // of the cloud; "" for none
        // Expected: the page kept, a page opened, the progress caption ("-" for no dialog at
        // all), the box, the send-info code sent ("" when none, "-" when no report went out),
        // the agreement the printer holds afterwards, the identity the report carried.
        bool kept;
        bool opened;
        std::wstring caption;
        int box;
        const char* sendInfo;
        const char* agreement;
        const char* reported;
    };
    const auto installer = [](const wchar_t* sub) {
        return std::vector<const wchar_t*>{
            L"QelRegistration.exe", L"-Preply", sub, kModel, kQueue, qeltest::kTextIdsLanguage};
    };
    const std::vector<const wchar_t*> launcher = {L"QelRegistration.exe", L"-HD", L"-REG", kModel,
                                                  kQueue};
    const char* gatewayFails = R"({"path": "/gateway/capi", "status": 500})";
    // Each byte in time for WinHTTP, the answer never whole within the exchange's bound
    // (shortened below for this row); the server stops by itself after 10 s.
    const char* gatewayTrickles =
        R"({"path": "/gateway/capi", "trickle": {"every_ms": 40, "for_ms": 10000}})";
    const std::wstring noDialog = L"-";
    const std::wstring launcherCaption = TextId(11401);
    const char* created = "VTP-0001-AAAA-0001";
    // clang-format off
    const Row rows[] = {
        {"installer -REG2: the page is kept, no window at all", installer(L"-REG2"), "serviceA",
         false, "", true, false, noDialog, 0, "0000", "unknown", ""},
        {"installer -REG with the installer's agreement: opened", installer(L"-REG"), "serviceA",
         true, "", false, true, L"", 0, "0001", "agree", created},
        {"installer: a failure ends silently", installer(L"-REG"), "serviceA", false, gatewayFails,
         false, false, L"", 0, "0000", "unknown", ""},
        {"launcher: opened", launcher, "serviceA", false, "", false, true, launcherCaption, 0, "",
         "unknown", created},
        {"launcher: the printer keeps testing its connection", launcher, "serviceD", false, "",
         false, false, launcherCaption, 11009, "-", "unknown", ""},
        {"launcher: the gateway fails", launcher, "serviceA", false, gatewayFails, false, false,
         launcherCaption, 11003, "", "unknown", ""},
        {"launcher: the gateway trickles its answer past the bound", launcher, "serviceA", false,
         gatewayTrickles, false, false, launcherCaption, 11003, "", "unknown", ""},
    };
    // clang-format on
    std::size_t pagesOpened = 0;
    for (const Row& row : qeltest::RowsOfThisPart(rows)) {
        SCOPED_TRACE(row.name);
        ResetCloud(row.rule);
        std::optional<qelhttp::ScopedExchangeLimit> bound;
        if (row.rule == gatewayTrickles) {
            bound.emplace(std::chrono::seconds(3));
        }
        qelwinutil::SaveRegUrl(L"");
        DeleteKey(qelwinutil::kInstalledDeviceKey);
        if (row.installerAgreed) {
            WriteDword(std::wstring(qelwinutil::kInstalledDeviceKey) + L"\\Preply " + kModel +
                           L"\\" + kSerial,
                       qelwinutil::kSendInfoAgreeValue, 1);
        }
        ASSERT_EQ(world_.Load(kWorld), "");
        ASSERT_EQ(world_.Configure("office", std::string("qel-service = ") + row.service), "");
        ASSERT_EQ(world_.Configure("office", "connectivity-test = confirming"), "");

        qeltest::DialogRobot robot;
        if (row.box != 0) {
            robot.ThenOnMessageBox("read the box", [&](DialogView& v) {
                EXPECT_EQ(v.MessageText(), TextId(row.box));
                EXPECT_EQ(v.Caption(), TextId(10001));
                v.Click(IDOK);
            });
        }
        qelapp::TansuApp app;
        ASSERT_TRUE(app.ParseCommandLine(static_cast<int>(row.args.size()), row.args.data()));
        const auto& options = app.Options();
        app.Facts().SetLaunchMode(
            *qelapp::RouteStart(options.GetMode(), options.GetSubOption()).launchMode);
        ASSERT_TRUE(app.Texts().Load(qeltest::kTextIdsLanguage));
        // The flow's look-up and content, then its registration.
        const printerutil::DeviceList printers =
            printerutil::FindPrinterByAddress(options.GetSecondString());
        ASSERT_EQ(printers.size(), 1u);
        const printerutil::stDeviceData& printer = *printers.front();
        app.PrepareInviteContent(printer.qelSupport != 0, printer.agreement != 0,
                                 printer.regionCode, printer.serialNumber, printer.serviceKind);
        if (options.GetMode() == qelapp::CommandLineOptions::kInstaller) {
            app.RegisterPreplyDevice(window_.get(), printers);
        } else {
            app.RegisterHDDevice(window_.get(), printers);
        }

        const std::wstring kept = qelwinutil::ReadRegUrl();
        EXPECT_EQ(kept.rfind(cloud_.Url(L"/gateway/page?reg="), 0) == 0, row.kept) << Narrow(kept);
        if (row.caption == noDialog) {
            EXPECT_TRUE(robot.Seen().empty());
        } else {
            ASSERT_FALSE(robot.Seen().empty());
            EXPECT_EQ(robot.Seen().front().caption, row.caption);
        }
        if (std::string(row.sendInfo) == "-") {
            EXPECT_EQ(cloud_.Count("/gateway/"), 0);
        } else {
            EXPECT_EQ(cloud_.Field(0, "info.q.FUS", "/gateway/capi").value_or(""), row.sendInfo);
        }
        EXPECT_EQ(world_.Get("office", "agreement"), row.agreement);
        EXPECT_EQ(cloud_.Field(-1, "info.temp_printerid", "/gateway/api0122").value_or(""),
                  row.reported);
        if (row.opened) {
            const auto pages = recorder.WaitForPages(++pagesOpened);
            ASSERT_EQ(pages.size(), pagesOpened);
            EXPECT_EQ(pages.back().rfind(cloud_.Url(L"/gateway/page?reg="), 0), 0u)
                << Narrow(pages.back());
        }
    }
    // No row opened a page it should not have.
    EXPECT_EQ(recorder.Pages().size(), pagesOpened);
}

TEST_F(FlowRegistration, NothingIsRegisteredWithoutAnAddressOrAPrinter) {
    ASSERT_EQ(world_.Load(kWorld), "");
    world_.ClearJournal();
    for (const wchar_t* address : {L"", kQueue}) {
        const std::vector<const wchar_t*> args = {L"QelRegistration.exe", L"-HD", L"-REG", kModel,
                                                  address};
        qelapp::TansuApp app;
        ASSERT_TRUE(app.ParseCommandLine(static_cast<int>(args.size()), args.data()));
        qeltest::DialogRobot robot;
        app.RegisterHDDevice(window_.get(), {});
        app.RegisterPreplyDevice(window_.get(), {nullptr});
        if (*address == L'\0') {
            app.RegisterHDDevice(window_.get(), {std::make_shared<printerutil::stDeviceData>()});
        }
        EXPECT_TRUE(robot.Seen().empty());
    }
    EXPECT_EQ(cloud_.Count(), 0);
    EXPECT_TRUE(world_.Journal().empty());
}

TEST(LauncherFailureText, RetryLaterIsTheOnlyCancelWithABox) {
    struct Row {
        const char* name;
        std::exception_ptr failure;
        int text;
    };
    const Row rows[] = {
        {"retry later", std::make_exception_ptr(qelcmn::qel_cancel(qelcmn::kCodeRetry, L"R")),
         11009},
        {"cancelled", std::make_exception_ptr(qelcmn::qel_cancel(qelcmn::kCodeCancelled, L"C")), 0},
        {"USB retry", std::make_exception_ptr(qelcmn::qel_cancel(qelcmn::kCodeUsbRetry, L"U")), 0},
        {"USB retry failed",
         std::make_exception_ptr(qelcmn::qel_cancel(qelcmn::kCodeUsbRetryFailed, L"F")), 0},
        {"request cancelled", std::make_exception_ptr(qelhttp::qel_operation_canceled(L"X")), 0},
        {"network error",
         std::make_exception_ptr(qelhttp::http_exception(qelhttp::kCodeNetworkError, L"N")), 11003},
        {"bad document", std::make_exception_ptr(xmlutil::invalid_document(L"D")), 11003},
        {"no memory", std::make_exception_ptr(std::bad_alloc()), 11003},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(qelapp::LauncherFailureText(row.failure), row.text) << row.name;
    }
}

} // namespace
