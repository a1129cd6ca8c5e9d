// One registration from a table row, run over the scripted device library or over the real
// vtqeldevc.dll against printers of the simulated world, and checked by what the simulated cloud
// received (the query in order, the decrypted document, the identity the printer created from the
// cloud's tokens), what the printer was asked and the waits the sequence made.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "printerutil/cancel_flag.h"
#include "printerutil_testing/fake_device_library.h"
#include "printerutil_testing/fake_waits.h"
#include "qelworld/qelworld_client.h"
#include "simulated_cloud.h"

namespace printerutil::test {

inline constexpr char kRetry[] = "82080103 Register Printer Retry.";
inline constexpr char kUsbRetry[] = "82080104 USB Retry";
inline constexpr char kUsbRetryFail[] = "82080106 USB Retry Fail.";

inline constexpr char kWorldLine[] = "world: ";

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
    // The scripted library: missing, failing on the program's way to it, what it answers.
    bool noLibrary = false;
    bool outOfMemory = false;
    testing::DeviceScript device = {};
    // The world: lines added to the printer the connection reaches, or to the world's own section
    // when they start with kWorldLine.
    std::vector<std::string> printer = {};
    std::vector<std::string> rules = {};
    CancelAt cancel = {};
    // Expected: the outcome code, or the exception as "<code in hex> <message>"; the cloud's
    // requests with the query's STS after "capi" and the document's server status after "post";
    // the identities the document carried; the page; what the printer was asked (the scripted
    // library's slots, or the world printer's operations); the waits.
    int code = 0;
    const char* fails = "";
    std::string cloud = "";
    Ids ids = Ids::None;
    const char* page = "/gateway/page?reg=";
    std::string slots = "";
    std::vector<std::int64_t> pauses = {};
    int connectivity = 200; // the value left in the printer record
    const char* agreed = nullptr; // the world printer's agreement afterwards; null: not checked
};

inline std::vector<std::int64_t> Polls(int n) {
    return std::vector<std::int64_t>(static_cast<std::size_t>(n), 1000);
}

std::string Repeat(const std::string& call, int n);

class RegisterSequenceTest : public ::testing::Test {
protected:
    void Run(const Row& r);

    // Set by the world's tests: registrations go through vtqeldevc.dll to these printers.
    std::unique_ptr<qelworld::Client> world_;

private:
    // What the printer was given and made in the identity step.
    struct PrinterSide {
        std::string access, refresh, url, service, created, registered;
    };

    std::string Received(const Row& r);
    void CheckIdentities(const Row& r, const PrinterSide& printer);
    void ScheduleCancel(const CancelAt& at, testing::FakeWaits& waits, CancelFlag& cancel);
    std::string Field(int i, const std::string& name, const std::string& path = "");
    std::string WorldOperations(const std::string& printer) const;

    qelcloud::SimulatedCloud cloud_;
};

class RegisterSequenceWorldTest : public RegisterSequenceTest {
protected:
    void SetUp() override;
};

} // namespace printerutil::test
