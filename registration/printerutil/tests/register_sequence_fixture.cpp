#include "register_sequence_fixture.h"

#include <cstdio>
#include <optional>

#include "printerutil/device_data.h"
#include "printerutil/register_sequence.h"
#include "printerutil_testing/fake_waits.h"
#include "printerutil_testing/sample_registration.h"
#include "qelcmn/exceptions.h"
#include "qelcmn/text_utils.h"

namespace printerutil::test {

using testing::FakeDeviceLibrary;

std::string Repeat(const std::string& call, int n) {
    std::string text = call;
    for (int i = 1; i < n; ++i) {
        text += "|" + call;
    }
    return text;
}

void RegisterSequenceWorldTest::SetUp() {
    world_ = std::make_unique<qelworld::Client>(qelwin::ThisModuleFolder());
    ASSERT_TRUE(world_->Loaded());
}

void RegisterSequenceTest::Run(const Row& r) {
    SCOPED_TRACE(r.name);
    cloud_.Reset();
    for (const auto& rule : r.rules) {
        cloud_.AddRule(rule);
    }
    qelhttp::testing::FakeApplicationInfo info;
    testing::SetSampleFacts(info);
    info.serviceKind = r.kind;
    info.launchMode = r.launchMode;
    info.usbRetried = r.usbRetried;
    const auto server = testing::SampleServers(cloud_);
    const auto printer =
        world_ ? testing::SampleWorldPrinter(r.connection) : testing::SamplePrinter(r.connection);
    printer->agreement = r.agreement;
    printer->agreementRequest = r.agreementRequest;
    const std::string worldPrinter = testing::SampleWorldPrinterName(r.connection);
    std::optional<FakeDeviceLibrary> library;
    if (world_) {
        ASSERT_EQ(world_->Load(testing::kSampleWorld), "");
        for (const std::string& line : r.printer) {
            const bool ofWorld = line.rfind(kWorldLine, 0) == 0;
            ASSERT_EQ(world_->Configure(ofWorld ? "" : worldPrinter,
                                        ofWorld ? line.substr(sizeof kWorldLine - 1) : line),
                      "")
                << line;
        }
    } else {
        library.emplace();
        library->missing = r.noLibrary;
        library->outOfMemory = r.outOfMemory;
        library->script = r.device;
    }
    testing::FakeWaits waits;
    CancelFlag cancel{static_cast<char>(r.cancel.when == CancelAt::BeforeStart ? 1 : 0)};
    ScheduleCancel(r.cancel, waits, cancel);

    std::string outcome;
    try {
        ScopedWaits scope(waits);
        const auto result = StartRegisterSequence(&info, &cancel, server, printer).get();
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
    EXPECT_EQ(Received(r), r.cloud);
    EXPECT_EQ(waits.Pauses(), r.pauses);
    EXPECT_EQ(printer->connectivityStatus, r.connectivity);

    PrinterSide side;
    if (library) {
        EXPECT_EQ(library->SlotCalls(), r.slots);
        EXPECT_EQ(library->LiveObjects(), 0);
        const CreateIdRequest sent = library->LastCreateIdRequest();
        side = {qelcmn::WideToUtf8(FieldText(sent.access_token)),
                qelcmn::WideToUtf8(FieldText(sent.refresh_token)),
                qelcmn::WideToUtf8(FieldText(sent.server_url)),
                qelcmn::WideToUtf8(FieldText(sent.service_id)),
                qelcmn::WideToUtf8(FakeDeviceLibrary::CreatedIdentity(FieldText(sent.access_token))),
                qelcmn::WideToUtf8(r.device.registeredId)};
    } else {
        EXPECT_EQ(WorldOperations(worldPrinter), r.slots);
        if (r.agreed != nullptr) {
            EXPECT_EQ(world_->Get(worldPrinter, "agreement"), r.agreed);
        }
        // What the printer stored, and the identities it holds.
        side = {world_->Get(worldPrinter, "access-token"),
                world_->Get(worldPrinter, "refresh-token"),
                world_->Get(worldPrinter, "server-url"),
                world_->Get(worldPrinter, "service-id"),
                world_->Get(worldPrinter, "next-printer-id"),
                world_->Get(worldPrinter, "registered-id")};
        if (cloud_.Count("/token/") == 0) {
            EXPECT_EQ(side.access + side.refresh + side.url, "") << "tokens nobody gave out";
        }
    }
    if (cloud_.Count("/gateway/api0122") > 0) {
        CheckIdentities(r, side);
    }
}

// The cloud's requests in order, each checked by the cloud itself.
std::string RegisterSequenceTest::Received(const Row& r) {
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
            EXPECT_EQ(Field(i, "info.configration"), IsUsbConnection(r.connection) ? "USB" : "LAN");
            EXPECT_EQ(Field(i, "info.area") + Field(i, "info.device_region"), "1C");
        } else {
            path = path.substr(path.rfind('/') + 1);
        }
        received += (received.empty() ? "" : " ") + path;
    }
    return received;
}

void RegisterSequenceTest::CheckIdentities(const Row& r, const PrinterSide& printer) {
    const std::string temp = Field(-1, "info.temp_printerid", "/gateway/api0122");
    const std::string set = Field(-1, "info.set_printerid", "/gateway/api0122");
    if (r.ids == Ids::FromPrinter) {
        // The printer created its identity from the tokens the cloud gave out, and the document
        // carried what it holds.
        const auto issued = [this](const char* name) {
            return Field(0, std::string("info.issued.") + name, "/token/");
        };
        EXPECT_EQ(printer.access, issued("access_token"));
        EXPECT_EQ(printer.refresh, issued("refresh_token"));
        EXPECT_EQ(printer.url, issued("url"));
        EXPECT_EQ(printer.service, "001");
        EXPECT_EQ(temp, printer.created);
        EXPECT_EQ(set, printer.registered);
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

void RegisterSequenceTest::ScheduleCancel(const CancelAt& at, testing::FakeWaits& waits,
                                          CancelFlag& cancel) {
    if (at.when == CancelAt::InFlight) {
        cloud_.AddRule(std::string(R"({"hold": true, "times": 1, "path": ")") + at.path + "\"}");
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

std::string RegisterSequenceTest::Field(int i, const std::string& name, const std::string& path) {
    return cloud_.Field(i, name, path).value_or("-");
}

// The operations the printer received, in order, separated by "|".
std::string RegisterSequenceTest::WorldOperations(const std::string& printer) const {
    std::string operations;
    for (const std::string& line : world_->Lines(printer, "exchanges")) {
        // "<port> <service> <operation> <response> [<detail>]"
        const auto service = line.find(' ');
        const auto operation = line.find(' ', service + 1);
        const auto end = line.find(' ', operation + 1);
        operations +=
            (operations.empty() ? "" : "|") + line.substr(operation + 1, end - operation - 1);
    }
    return operations;
}

} // namespace printerutil::test
