// The registration's printer sequences through vtqeldevc.dll and the stand-in port libraries
// against world printers: the qel job by every port type and in both cipher modes, what each
// refusal and fault gives, the agreement and the connectivity test.
#include "world_device.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace vtqeldevc::test {
namespace {

constexpr int kIdChars = 100;

CreateIdRequest Request() {
    CreateIdRequest request{};
    std::wcsncpy(request.access_token, L"access-1", 255);
    std::wcsncpy(request.refresh_token, L"refresh-1", 255);
    std::wcsncpy(request.server_url, L"https://cloud.example/api", 255);
    std::wcsncpy(request.service_id, L"001", 9);
    return request;
}

// The slots of one registration as the application runs them: each only after the one before
// succeeded. -1 for a slot that did not run.
struct Outcome {
    Outcome(int s = -1, int r = -1, int c = -1, int e = -1, std::wstring reg = {},
            std::wstring made = {})
        : select(s), registered(r), created(c), ended(e), registered_id(std::move(reg)),
          created_id(std::move(made)) {}

    int select;
    int registered;
    int created;
    int ended;
    std::wstring registered_id;
    std::wstring created_id;

    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    return out << o.select << "/" << o.registered << "/" << o.created << "/" << o.ended;
}

Outcome Register(const DeviceObject& device, const wchar_t* address, int portType) {
    Outcome o;
    wchar_t registered[kIdChars] = {};
    wchar_t created[kIdChars] = {};
    const CreateIdRequest request = Request();
    if ((o.select = device->SelectDevice(address, portType)) == 0 &&
        (o.registered = device->GetRegisteredId(registered, kIdChars)) == 0 &&
        (o.created = device->CreateId(&request, created, kIdChars)) == 0) {
        o.ended = device->EndSession();
    }
    o.registered_id = registered;
    o.created_id = created;
    return o;
}

constexpr char kCreateIdDocument[] =
    "<application_data><format_version>1.00</format_version><server_url>"
    "https://cloud.example/api</server_url><refresh_token>refresh-1</refresh_token>"
    "<access_token>access-1</access_token><service_id>001</service_id></application_data>";

TEST_F(WorldDevice, WholeJobByEveryPortTypeInBothCipherModes) {
    struct Case {
        const char* name;
        const wchar_t* address;
        int portType;
        const char* printer;
        const char* mode;
        std::string device_path; // where the key was read
        std::string qel_path;    // where the job ran
        const wchar_t* registered;
        int id_checks; // id_status exchanges: the unregistered ID is asked first
    };
    const Case cases[] = {
        {"IPv4, AES", L"192.168.1.31", 1, "office", "4", "port1", "port2", L"VTP-REG-0001", 2},
        {"IPv4, plain", L"192.168.1.31", 1, "office", "0", "port1", "port2", L"VTP-REG-0001", 2},
        {"fe80 with scope", L"fe80::21b:a9ff:fe3c:1001%2", 1, "office", "4", "port1", "port2",
         L"VTP-REG-0001", 2},
        {"queue", L"Office Queue", 0, "office", "4", "port1", "port2", L"VTP-REG-0001", 2},
        {"USB port, AES", L"USB001", 3, "desk", "4", "usb", "usb", L"VTP-DESK-0001", 1},
        {"USB port, plain", L"USB001", 3, "desk", "0", "usb", "usb", L"VTP-DESK-0001", 1},
        {"queue on USB", L"Desk Queue", 2, "desk", "4", "usb", "usb", L"VTP-DESK-0001", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reload(c.printer, {std::string("cipher-mode = ") + c.mode});
        DeviceObject device(dll);
        ASSERT_EQ(device->Initialize(), 0);
        const Outcome o = Register(device, c.address, c.portType);
        EXPECT_EQ(device->Terminate(), 0);
        EXPECT_EQ(o, (Outcome{0, 0, 0, 0, c.registered, L"VTP-0001-AAAA-0001"}));

        std::vector<std::string> expected = {c.device_path + " device GetStatus OK",
                                             c.qel_path + " qel StartJob NG",
                                             c.qel_path + " qel StartJob OK"};
        expected.insert(expected.end(), 2 + c.id_checks, c.qel_path + " qel ReceiveData OK");
        expected.push_back(c.qel_path + " qel EndJob OK");
        EXPECT_EQ(Exchanges(c.printer), expected);
        // The printer deciphered and kept exactly what was sent.
        EXPECT_EQ(world.Get(c.printer, "application-data"), kCreateIdDocument);
        EXPECT_EQ(world.Get(c.printer, "access-token"), "access-1");
        EXPECT_EQ(world.Get(c.printer, "refresh-token"), "refresh-1");
        EXPECT_EQ(world.Get(c.printer, "server-url"), "https://cloud.example/api");
        EXPECT_EQ(world.Get(c.printer, "service-id"), "001");
    }
}

TEST_F(WorldDevice, RefusalsAndFaultsOfTheJob) {
    const std::string all = "GetStatus StartJob StartJob ReceiveData ReceiveData ReceiveData "
                            "ReceiveData EndJob";
    const std::wstring reg = L"VTP-REG-0001";
    const std::wstring made = L"VTP-0001-AAAA-0001";
    struct Case {
        const char* name;
        std::vector<std::string> lines; // office's; "world: " for the world's
        Outcome outcome;
        std::string operations;
    };
    const Case cases[] = {
        {"first start: printer busy",
         {"reply-fault = qel StartJob refuse DeviceUseOtherJob"},
         {8},
         "GetStatus StartJob"},
        {"key read refused", {"reply-fault = device GetStatus refuse Suspended"}, {11}, "GetStatus"},
        {"first start answered OK",
         {"reply-fault = qel StartJob set ivec:response OK"},
         {7},
         "GetStatus StartJob"},
        {"wrong answer: no job, no EndJob",
         {"answer-address = 00:00:00:00:00:00"},
         {7},
         "GetStatus StartJob StartJob"},
        {"authenticated start refused: no EndJob",
         {"reply-fault = qel StartJob refuse NotConnectServer skip 1"},
         {10},
         "GetStatus StartJob StartJob"},
        {"first open fails", {"world: fault = pu2Open fail"}, {5}, ""},
        {"second open fails", {"world: fault = pu2Open fail skip 1"}, {2}, "GetStatus"},
        {"key read lost", {"fault = pu2Read -3"}, {5}, "GetStatus"},
        {"wrong job digest",
         {"reply-fault = qel StartJob set vvt:ijdatakey8 00 skip 1"},
         {0, 7},
         "GetStatus StartJob StartJob ReceiveData EndJob"},
        {"job digest in capitals", {"upper-case-job-digest = yes"}, {0, 0, 0, 0, reg, made}, all},
        {"key field of another mode: nothing sent",
         {"reply-fault = qel StartJob set vvt:ijdatakey7 0000000500000003 skip 1"},
         {0, 2},
         "GetStatus StartJob StartJob EndJob"},
        {"payload does not decrypt",
         {"reply-fault = qel ReceiveData corrupt-payload"},
         {0, 7},
         "GetStatus StartJob StartJob ReceiveData EndJob"},
        {"id status refused",
         {"reply-fault = qel ReceiveData refuse PrinterIDError skip 1"},
         {0, 8},
         "GetStatus StartJob StartJob ReceiveData ReceiveData EndJob"},
        {"create refused",
         {"reply-fault = qel ReceiveData refuse NotConnectInternet skip 3"},
         {0, 0, 9, -1, reg},
         all},
        {"no printer id created", {"next-printer-id = \"\""}, {0, 0, 2, -1, reg}, all},
        {"status in other letters", {"registered-status = Registered"}, {0, 0, 0, 0, L"", made},
         all},
        // Identities read back are decoded: the status question names the printer's own ID,
        // and the application gets it as the printer holds it.
        {"identities with markup characters",
         {"registered-id = VTP&REG<1>", "next-printer-id = \"VTP&'0001'\""},
         {0, 0, 0, 0, L"VTP&REG<1>", L"VTP&'0001'"},
         all},
        {"end refused", {"reply-fault = qel EndJob refuse IllegalJobID"}, {0, 0, 0, 7, reg, made},
         all},
        {"end lost", {"fault = pu2Write -2 skip 7"}, {0, 0, 0, 5, reg, made},
         all.substr(0, all.size() - 7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reload("office", c.lines);
        DeviceObject device(dll);
        ASSERT_EQ(device->Initialize(), 0);
        EXPECT_EQ(Register(device, L"192.168.1.31", 1), c.outcome);
        EXPECT_EQ(device->Terminate(), 0);
        EXPECT_EQ(Operations("office"), c.operations);
        if (c.outcome.created == -1) {
            EXPECT_EQ(world.Get("office", "access-token"), "") << "no credential stored";
        }
    }
}

TEST_F(WorldDevice, ArgumentsSelectionsAndCopiesOfTheJobSlots) {
    DeviceObject device(dll);
    ASSERT_EQ(device->Initialize(), 0);
    wchar_t id[kIdChars] = {};
    unsigned char state = 0;
    const CreateIdRequest request = Request();
    // Null arguments, and the job's slots without a selection: nothing reaches a printer.
    EXPECT_EQ(device->SelectDevice(nullptr, 1), 3);
    EXPECT_EQ(device->GetRegisteredId(nullptr, kIdChars), 3);
    EXPECT_EQ(device->CreateId(nullptr, id, kIdChars), 3);
    EXPECT_EQ(device->CreateId(&request, nullptr, kIdChars), 3);
    EXPECT_EQ(device->SetDeviceAgreement(nullptr, 1, 0), 3);
    EXPECT_EQ(device->GetConnectivityTestResult(nullptr, 1, &state), 3);
    EXPECT_EQ(device->GetConnectivityTestResult(L"192.168.1.31", 1, nullptr), 3);
    EXPECT_EQ(device->GetRegisteredId(id, kIdChars), 2);
    EXPECT_EQ(device->CreateId(&request, id, kIdChars), 2);
    EXPECT_EQ(device->EndSession(), 2);
    EXPECT_EQ(Operations("office"), "");

    // Copies are cut to the caller's buffer with their terminator; no room writes nothing.
    ASSERT_EQ(device->SelectDevice(L"192.168.1.31", 1), 0);
    for (const int chars : {0, -1}) {
        std::fill(std::begin(id), std::end(id), L'#');
        EXPECT_EQ(device->GetRegisteredId(id, chars), 0);
        EXPECT_EQ(id[0], L'#') << chars;
    }
    EXPECT_EQ(device->GetRegisteredId(id, 5), 0);
    EXPECT_EQ(std::wstring(id), L"VTP-");
    EXPECT_EQ(id[5], L'#');
    EXPECT_EQ(device->CreateId(&request, id, 8), 0);
    EXPECT_EQ(std::wstring(id), L"VTP-000");
    EXPECT_EQ(device->EndSession(), 0);
    EXPECT_EQ(device->GetRegisteredId(id, kIdChars), 2) << "the selection ended with the job";

    // After a selection by USB port, a network selection goes through the newer library again.
    ASSERT_EQ(device->SelectDevice(L"USB001", 3), 0);
    EXPECT_EQ(device->EndSession(), 0);
    ASSERT_EQ(device->SelectDevice(L"192.168.1.31", 1), 0);
    EXPECT_EQ(device->EndSession(), 0);
    EXPECT_EQ(device->Terminate(), 0);
    EXPECT_EQ(Exchanges("desk").back(), "usb qel EndJob OK");
    EXPECT_EQ(Exchanges("office").back(), "port2 qel EndJob OK");
}

TEST_F(WorldDevice, AgreementByVendorCommandOrItsOwnJob) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        int result;
        const char* agreement; // what the printer then holds
        const char* host_id;
        std::string operations;
    };
    const std::string job = "GetCapability StartJob SetConfiguration EndJob";
    const Case cases[] = {
        {"vendor command with host id", {}, 0, "agree", "3060", "GetCapability VendorCmd"},
        {"vendor command, no host id asked",
         {"host-application-id-range = 1000-9999"},
         0,
         "agree",
         "",
         "GetCapability VendorCmd"},
        {"vendor command without choices", {"agreement-choices = \"\""}, 0, "agree", "", job},
        {"no vendor command", {"set-configuration-without-job = no"}, 0, "agree", "", job},
        {"vendor command refused",
         {"reply-fault = device VendorCmd refuse ParameterError"},
         2,
         "agree",
         "3060",
         "GetCapability VendorCmd"},
        {"job start refused",
         {"set-configuration-without-job = no",
          "reply-fault = device StartJob refuse DeviceUseOtherJob"},
         8,
         "unknown",
         "",
         "GetCapability StartJob"},
        {"setting refused: the job is still ended",
         {"set-configuration-without-job = no",
          "reply-fault = device SetConfiguration refuse ParameterError"},
         2,
         "agree",
         "",
         job},
        {"job end refused",
         {"set-configuration-without-job = no", "reply-fault = device EndJob refuse IllegalJobID"},
         7,
         "agree",
         "",
         job},
        {"capability lost", {"fault = pu2Write -2"}, 5, "unknown", "", ""},
        {"no channel", {"world: fault = pu2Open fail"}, 2, "unknown", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reload("office", c.lines);
        DeviceObject device(dll);
        EXPECT_EQ(device->SetDeviceAgreement(L"192.168.1.31", 1, 0), c.result);
        EXPECT_EQ(world.Get("office", "agreement"), c.agreement);
        EXPECT_EQ(world.Get("office", "host-application-id"), c.host_id);
        EXPECT_EQ(Operations("office"), c.operations);
        for (const std::string& line : Exchanges("office")) {
            EXPECT_EQ(line.substr(0, 12), "port1 device") << line;
        }
    }
    DeviceObject device(dll);
    EXPECT_EQ(device->SetDeviceAgreement(L"USB001", 3, 0), 0);
    EXPECT_EQ(Exchanges("desk"),
              (std::vector<std::string>{"usb device GetCapability OK", "usb device VendorCmd OK"}));
}

TEST_F(WorldDevice, ConnectivityTestResults) {
    struct Case {
        std::vector<std::string> lines;
        std::vector<int> results; // one call each; -2 the call failed with 2
    };
    const Case cases[] = {
        {{"connectivity-test = none"}, {200}},
        {{"connectivity-test = confirming"}, {201}},
        {{"connectivity-test = success"}, {202}},
        {{"connectivity-test = server_error"}, {203}},
        {{"connectivity-test = not_connect_internet"}, {204}},
        {{"connectivity-test = connect_timeout"}, {205}},
        {{"connectivity-test = other_connect_error"}, {206}},
        {{"connectivity-test = Success"}, {200}},
        {{"connectivity-test = success", "connectivity-confirming-polls = 2"}, {201, 201, 202}},
        {{"connectivity-test = success", "reply-fault = qel GetStatus refuse Suspended"}, {200}},
        {{"connectivity-test = success", "services = device"}, {200}},
        {{"connectivity-test = success", "fault = pu2Read -3"}, {-2}},
        {{"world: fault = pu2Open fail"}, {-2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.back());
        Reload("office", c.lines);
        DeviceObject device(dll);
        for (const int expected : c.results) {
            unsigned char state = 77;
            EXPECT_EQ(device->GetConnectivityTestResult(L"192.168.1.31", 1, &state),
                      expected < 0 ? 2 : 0);
            EXPECT_EQ(state, expected < 0 ? 77 : expected);
        }
        for (const std::string& line : Exchanges("office")) {
            EXPECT_EQ(line.substr(0, 19), "port2 qel GetStatus") << line;
        }
    }
    Configure("desk", "connectivity-test = connect_timeout");
    DeviceObject device(dll);
    unsigned char state = 0;
    EXPECT_EQ(device->GetConnectivityTestResult(L"USB001", 3, &state), 0);
    EXPECT_EQ(state, 205);
}

} // namespace
} // namespace vtqeldevc::test
