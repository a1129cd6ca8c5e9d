// The registration sequence through the real vtqeldevc.dll, the stand-in port libraries and
// printers of the simulated world, with the simulated cloud: every kind over the network and
// USB, checked by what the cloud received (the printer's created identity in the decrypted
// document), what the printer was asked and stored, and the printer's refusals.
#include "register_sequence_fixture.h"

namespace {

using namespace printerutil::test;

// The qel job of the identity step: the key read, the refused and the authenticated start, the
// identities, the status of each, the creation and the end.
const std::string kJob =
    "GetStatus|StartJob|StartJob|ReceiveData|ReceiveData|ReceiveData|ReceiveData|EndJob";
constexpr char kAgreement[] = "GetCapability|VendorCmd";
constexpr char kPoll[] = "GetStatus";
constexpr char kNoInternetAtCreation[] = "reply-fault = qel ReceiveData refuse NotConnectInternet skip 3";

TEST_F(RegisterSequenceWorldTest, EveryKind) {
    const Row rows[] = {
        {.name = "auto", .kind = L"auto", .code = 3, .cloud = "capi[LAN] nbe post[-]"},
        {.name = "auto by a USB queue",
         .kind = L"auto",
         .connection = 5,
         .code = 3,
         .cloud = "capi[USB] nbe post[-]"},
        {.name = "serviceA by address",
         .code = 4,
         .cloud = "token capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromPrinter,
         .slots = kJob},
        {.name = "serviceA by queue",
         .connection = 4,
         .code = 4,
         .cloud = "token capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromPrinter,
         .slots = kJob},
        {.name = "serviceA by USB port",
         .connection = 3,
         .code = 4,
         .cloud = "token capi[USB_OK] nbe post[OK]",
         .ids = Ids::FromPrinter,
         .slots = kJob},
        {.name = "serviceA by a USB queue",
         .connection = 5,
         .code = 4,
         .cloud = "token capi[USB_OK] nbe post[OK]",
         .ids = Ids::FromPrinter,
         .slots = kJob},
        {.name = "serviceA, the agreement first",
         .agreement = 1,
         .agreementRequest = 1,
         .code = 4,
         .cloud = "token capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromPrinter,
         .slots = kAgreement + std::string("|") + kJob,
         .agreed = "agree"},
        {.name = "serviceX",
         .kind = L"serviceX",
         .code = 5,
         .cloud = "printerid capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromCloud,
         .pauses = {5000},
         .agreed = "unknown"},
        {.name = "serviceX by USB port is auto",
         .kind = L"serviceX",
         .connection = 3,
         .code = 3,
         .cloud = "capi[USB] nbe post[-]"},
        {.name = "serviceY, the agreement always told",
         .kind = L"serviceY",
         .agreementRequest = 1,
         .code = 5,
         .cloud = "printerid capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromCloud,
         .slots = kAgreement + std::string("|") + kPoll,
         .connectivity = 202,
         .agreed = "agree"},
        {.name = "serviceY after two polls that were still confirming",
         .kind = L"serviceY",
         .printer = {"connectivity-confirming-polls = 2"},
         .code = 5,
         .cloud = "printerid capi[LAN_OK] nbe post[OK]",
         .ids = Ids::FromCloud,
         .slots = Repeat(kPoll, 3),
         .pauses = Polls(2),
         .connectivity = 202},
        {.name = "serviceY by USB port",
         .kind = L"serviceY",
         .connection = 3,
         .code = 5,
         .cloud = "printerid capi[USB_OK] nbe post[OK]",
         .ids = Ids::FromCloud,
         .slots = kPoll,
         .connectivity = 202},
        {.name = "serviceY, the cloud's server failed the test",
         .kind = L"serviceY",
         .printer = {"connectivity-test = server_error"},
         .code = 5,
         .cloud = "capi[LAN_CT_SERVER_ERR] nbe post[ERROR]",
         .slots = kPoll,
         .connectivity = 203},
    };
    for (const Row& r : rows) {
        Run(r);
    }
}

TEST_F(RegisterSequenceWorldTest, PrinterRefusals) {
    const Row rows[] = {
        {.name = "agreement refused",
         .agreement = 1,
         .agreementRequest = 1,
         .printer = {"reply-fault = device VendorCmd refuse ParameterError"},
         .fails = kRetry,
         .slots = kAgreement},
        {.name = "busy with another job",
         .printer = {"reply-fault = qel StartJob refuse DeviceUseOtherJob"},
         .fails = kRetry,
         .cloud = "token",
         .slots = "GetStatus|StartJob"},
        {.name = "installer: busy reported",
         .launchMode = 3,
         .agreementRequest = 1,
         .printer = {"reply-fault = qel StartJob refuse DeviceUseOtherJob"},
         .code = 4,
         .cloud = "token capi[LAN_PRN_BUSY] nbe post[PRN_BUSY]",
         .slots = "GetStatus|StartJob"},
        {.name = "suspended",
         .connection = 3,
         .printer = {"reply-fault = device GetStatus refuse Suspended"},
         .fails = kRetry,
         .cloud = "token",
         .slots = "GetStatus"},
        {.name = "no internet on the network",
         .printer = {kNoInternetAtCreation},
         .code = 4,
         .cloud = "token capi[LAN_NO_INTERNET] nbe post[NO_INTERNET]",
         .slots = kJob},
        {.name = "no internet by USB port",
         .connection = 3,
         .printer = {kNoInternetAtCreation},
         .fails = kUsbRetry,
         .cloud = "token",
         .slots = kJob},
        {.name = "no internet by a USB queue after the recovery",
         .connection = 5,
         .usbRetried = 1,
         .printer = {kNoInternetAtCreation},
         .fails = kUsbRetryFail,
         .cloud = "token",
         .slots = kJob},
        {.name = "serviceY: no internet by USB port",
         .kind = L"serviceY",
         .connection = 3,
         .printer = {"connectivity-test = not_connect_internet"},
         .fails = kUsbRetry,
         .slots = kPoll},
        {.name = "serviceY: still confirming after 30 s",
         .kind = L"serviceY",
         .printer = {"connectivity-test = confirming"},
         .fails = kRetry,
         .slots = Repeat(kPoll, 32),
         .pauses = Polls(31)},
    };
    for (const Row& r : rows) {
        Run(r);
    }
}

} // namespace
