// The library's qel job against the simulated printer behind the in-process command channel:
// the sequence, what each refusal and damaged reply gives, and the waits of a slow printer.
#include "command_channel.h"
#include "qel_job.h"
#include "record_text.h"

#include "printersim/responder.h"
#include "printersim/scenario.h"
#include "printersim/simulated_channel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace vtqeldevc {
namespace {

constexpr int kExchangeFailed = VTESDEV_PORT_FAILED;
constexpr int kBuildFailedCode = VTESDEV_FAILED;
constexpr int kRefusedCode = VTESDEV_REFUSED;

// A port control over the simulated printer's command channels in this process: the device
// index opens a channel on port1, the qel index one on port2, and each exchange goes through
// the command-channel seam with a sleep that only records.
class ChannelPort final : public CVTMPUCom {
public:
    ChannelPort(printersim::Responder& responder, printersim::ChannelBehaviour behaviour)
        : responder_(responder), behaviour_(behaviour) {}

    int LoadPortLib(const wchar_t*) override { return 0; }
    void UnloadPortLib() noexcept override { Close(); }
    void SetTarget(const wchar_t*, int, int portIndex) override { index_ = portIndex; }
    int Open() override {
        if (channel_) {
            return 1;
        }
        channel_.emplace(responder_,
                         index_ == kDevicePortIndex ? printersim::PortPath::Port1
                                                    : printersim::PortPath::Port2,
                         behaviour_);
        return 0;
    }
    int OpenPort() override { return Open(); }
    int GetPortList(std::vector<std::wstring>&) override { return 1; }
    int Transact(const char* request, int requestLength, char* reply, int replyCapacity,
                 int* replyLength) override {
        if (!channel_) {
            return kTransactFailed;
        }
        std::size_t received = 0;
        const auto result = TransactOverChannel(
            *channel_, std::span<const char>(request, static_cast<std::size_t>(requestLength)),
            std::span<char>(reply, static_cast<std::size_t>(replyCapacity - 1)), received,
            [this](unsigned ms) { sleeps.push_back(ms); });
        reply[received] = '\0';
        *replyLength = static_cast<int>(received);
        if (result != TransactResult::ok) {
            Close();
            return kTransactFailed;
        }
        return kTransactOk;
    }
    int Close() noexcept override {
        if (!channel_) {
            return 1;
        }
        oversized_writes += channel_->oversized_writes();
        channel_.reset();
        return 0;
    }

    bool is_open() const { return channel_.has_value(); }
    std::vector<unsigned> sleeps;
    int oversized_writes = 0;

private:
    printersim::Responder& responder_;
    printersim::ChannelBehaviour behaviour_;
    std::optional<printersim::SimulatedChannel> channel_;
    int index_ = kQelPortIndex;
};

// The request texts as the application hands them in.
CreateIdRequest Request(const std::wstring& url, const std::wstring& refresh,
                        const std::wstring& access, const std::wstring& service) {
    CreateIdRequest request{};
    CopyToField(request.server_url, std::wstring_view(url));
    CopyToField(request.refresh_token, std::wstring_view(refresh));
    CopyToField(request.access_token, std::wstring_view(access));
    CopyToField(request.service_id, std::wstring_view(service));
    return request;
}

// The library's qel job over the simulated printer's channels.
struct SimulatedJob {
    explicit SimulatedJob(printersim::Responder& responder,
                          printersim::ChannelBehaviour behaviour = {})
        : port(responder, behaviour) {}

    int Select() { return job.Select(port, L"printer", VTESDEV_PORT_NETWORK_ADDRESS); }
    int GetRegisteredId(std::string* id) { return job.GetRegisteredId(port, id); }
    int CreateId(const CreateIdRequest& request, std::string* id) {
        return job.CreateId(port, request, id);
    }
    int End() { return job.End(port); }

    ChannelPort port;
    QelJob job;
};

struct QelJobAgainstSimulator : ::testing::Test {
    printersim::SharedPrinter printer;
    printersim::Responder responder{printer};

    void SetUp() override {
        responder.set_sleep([](unsigned) {});
        printer.with([](printersim::PrinterModel& p) {
            p.registered_id = "VTP-REG-0001";
            p.unregistered_id = "VTP-OLD-0002";
        });
    }

    int QelOperations(const std::string& operation) {
        int count = 0;
        for (const auto& record : responder.history()) {
            count += record.service == "qel" && record.operation == operation;
        }
        return count;
    }

    void Restart(std::vector<printersim::ReplyFault> faults) {
        responder.set_scenario({std::move(faults), std::nullopt, std::nullopt});
        responder.clear_history();
        printer.with([](printersim::PrinterModel& p) { p.qel_job = {}; });
    }
};

TEST_F(QelJobAgainstSimulator, LoginReadsAndCreatesIds) {
    SimulatedJob session(responder);
    ASSERT_EQ(session.Select(), 0);
    EXPECT_EQ(session.job.key_text(), "00:1B:A9:3C:00:01");
    const std::string* key7 = FindValue(session.job.job_values(), "vvt:ijdatakey7");
    ASSERT_NE(key7, nullptr);
    EXPECT_EQ(*key7, "0000000400000003");

    std::string id;
    ASSERT_EQ(session.GetRegisteredId(&id), 0);
    EXPECT_EQ(id, "VTP-REG-0001");

    std::string created;
    ASSERT_EQ(session.CreateId(Request(L"https://api.example/<v1>", L"refresh&1", L"access-2",
                                       L"001"),
                               &created),
              0);
    EXPECT_EQ(created, "VTP-0001-AAAA-0001");
    ASSERT_EQ(session.End(), 0);
    EXPECT_FALSE(session.job.open());
    EXPECT_TRUE(session.job.key_text().empty()) << "the selection is forgotten";
    EXPECT_FALSE(session.port.is_open());

    const auto model = printer.snapshot();
    EXPECT_EQ(model.server_url, "https://api.example/<v1>");
    EXPECT_EQ(model.refresh_token, "refresh&1");
    EXPECT_EQ(model.access_token, "access-2");
    EXPECT_EQ(model.service_id, "001");
    EXPECT_FALSE(model.qel_job.open);
    EXPECT_EQ(session.port.oversized_writes, 0);

    // Without a job nothing more is sent.
    responder.clear_history();
    EXPECT_EQ(session.GetRegisteredId(&id), kBuildFailedCode);
    EXPECT_EQ(session.End(), kBuildFailedCode);
    EXPECT_TRUE(responder.history().empty());
}

TEST_F(QelJobAgainstSimulator, WiredAddressKeysTheJob) {
    const bool has_wired = printer.with([](printersim::PrinterModel& p) {
        printersim::NetworkInterface* wired = p.find_interface("wired0");
        if (wired != nullptr) {
            wired->hwaddress = "00:1b:a9:3c:00:99";
        }
        return wired != nullptr;
    });
    ASSERT_TRUE(has_wired) << "the simulated printer has no wired interface";
    SimulatedJob session(responder);
    ASSERT_EQ(session.Select(), 0);
    EXPECT_EQ(session.job.key_text(), "00:1b:a9:3c:00:99");
    std::string id;
    EXPECT_EQ(session.GetRegisteredId(&id), 0);
}

TEST_F(QelJobAgainstSimulator, WhichIdIsTaken) {
    struct Case {
        const char* registered;
        const char* unregistered;
        std::string kept;    // what id holds afterwards
        int receive_data;    // exchanges of application data
    } const cases[] = {
        {"", "", "kept", 1},
        {"VTP-REG-0001", "", "VTP-REG-0001", 2},
        {"", "VTP-OLD-0002", "kept", 2},
        {"VTP-REG-0001", "VTP-OLD-0002", "VTP-REG-0001", 3},
    };
    for (const auto& c : cases) {
        printer.with([&](printersim::PrinterModel& p) {
            p.registered_id = c.registered;
            p.unregistered_id = c.unregistered;
        });
        Restart({});
        SimulatedJob session(responder);
        ASSERT_EQ(session.Select(), 0);
        std::string id = "kept";
        ASSERT_EQ(session.GetRegisteredId(&id), 0);
        EXPECT_EQ(id, c.kept) << c.registered << "/" << c.unregistered;
        EXPECT_EQ(QelOperations("ReceiveData"), c.receive_data);
    }
}

TEST_F(QelJobAgainstSimulator, WrongAnswerIsRefusedAndLeavesNoJob) {
    printersim::Scenario scenario;
    scenario.answer_address = "00:00:00:00:00:00";
    responder.set_scenario(scenario);
    SimulatedJob session(responder);
    EXPECT_EQ(session.Select(), kRefusedCode);
    EXPECT_FALSE(session.job.open());
    EXPECT_FALSE(session.port.is_open());
    EXPECT_EQ(QelOperations("EndJob"), 0) << "no job was started that an EndJob could name";
}

TEST_F(QelJobAgainstSimulator, ImproperChallengeIsNeverAnswered) {
    for (const char* challenge : {"8F3A61C0", "8f3a6", "8f3a61g0"}) {
        printersim::Scenario scenario;
        scenario.challenge = challenge;
        responder.set_scenario(scenario);
        responder.clear_history();
        SimulatedJob session(responder);
        EXPECT_EQ(session.Select(), kBuildFailedCode) << challenge;
        EXPECT_EQ(QelOperations("StartJob"), 1) << challenge;
        EXPECT_FALSE(session.port.is_open()) << challenge;
    }
}

TEST_F(QelJobAgainstSimulator, BadKeyFieldNeverSendsTokens) {
    for (const char* key7 :
         {"00000004000000", "zz000004000000003", "0000000400000010", "0000000500000003", ""}) {
        auto fault = printersim::change_element("qel", "StartJob", "vvt:ijdatakey7", key7);
        fault.skip = 1; // the authenticated start
        Restart({fault});
        SimulatedJob session(responder);
        ASSERT_EQ(session.Select(), 0) << key7;
        std::string id = "kept";
        EXPECT_EQ(session.CreateId(Request(L"url", L"refresh-secret", L"access-secret", L"001"),
                                   &id),
                  kBuildFailedCode)
            << key7;
        EXPECT_EQ(id, "kept");
        EXPECT_EQ(QelOperations("ReceiveData"), 0) << key7;
        EXPECT_EQ(QelOperations("EndJob"), 1) << "the failure ended the job: " << key7;
        EXPECT_FALSE(session.job.open());
    }
    EXPECT_TRUE(printer.snapshot().access_token.empty());
}

TEST_F(QelJobAgainstSimulator, CredentialsThatWouldBeCutAreNeverSent) {
    // Whole fields of characters that the document escapes: the document itself, or the
    // request with the document behind it, would not fit.
    const std::wstring ampersands(255, L'&');
    const std::wstring quotes(255, L'"');
    CreateIdRequest unterminated = Request(L"url", L"refresh", L"access", L"001");
    std::fill(std::begin(unterminated.service_id), std::end(unterminated.service_id), L'9');
    struct Case {
        const char* name;
        CreateIdRequest request;
    } const cases[] = {
        {"payload does not fit behind the request",
         Request(ampersands, ampersands, ampersands, L"001")},
        {"document does not fit", Request(quotes, quotes, quotes, L"001")},
        {"a service id without its terminator", unterminated},
    };
    for (const auto& c : cases) {
        Restart({});
        SimulatedJob session(responder);
        ASSERT_EQ(session.Select(), 0) << c.name;
        std::string id;
        EXPECT_EQ(session.CreateId(c.request, &id), kBuildFailedCode) << c.name;
        EXPECT_EQ(QelOperations("ReceiveData"), 0) << c.name;
        EXPECT_EQ(session.port.oversized_writes, 0) << c.name;
        EXPECT_TRUE(printer.snapshot().access_token.empty()) << c.name;
    }
}

TEST_F(QelJobAgainstSimulator, RefusalsGiveTheirResults) {
    struct Case {
        printersim::ReplyFault fault;
        int select;
        int get_id;
    };
    auto first_start_ok = printersim::change_element("qel", "StartJob", "ivec:response", "OK");
    first_start_ok.times = 1;
    const std::vector<Case> cases = {
        {printersim::refuse("qel", "StartJob", "DeviceUseOtherJob"), VTESDEV_PRINTER_BUSY, 0},
        {printersim::refuse("device", "GetStatus", "Initializing"), VTESDEV_PRINTER_NOT_READY, 0},
        {first_start_ok, kRefusedCode, 0},
        {printersim::refuse("qel", "ReceiveData", "PrinterIDError"), 0, VTESDEV_PRINTER_BUSY},
        {printersim::refuse("qel", "ReceiveData", "NotConnectInternet"), 0, VTESDEV_NO_INTERNET},
        {printersim::refuse("qel", "ReceiveData", "ConnectTimeout"), 0, VTESDEV_NO_SERVER},
        {printersim::refuse("qel", "ReceiveData", ""), 0, kRefusedCode},
    };
    for (const auto& c : cases) {
        const std::string name = c.fault.operation + " " + c.fault.detail.value_or("OK");
        Restart({c.fault});
        SimulatedJob session(responder);
        EXPECT_EQ(session.Select(), c.select) << name;
        if (c.select == 0) {
            std::string id;
            EXPECT_EQ(session.GetRegisteredId(&id), c.get_id) << name;
        } else {
            EXPECT_LE(QelOperations("StartJob"), 1) << name;
        }
        EXPECT_FALSE(session.job.open()) << name;
        EXPECT_FALSE(printer.snapshot().qel_job.open) << "no job left on the printer: " << name;
    }
}

TEST_F(QelJobAgainstSimulator, DamagedRepliesFailCleanly) {
    struct Case {
        const char* name;
        printersim::ReplyFault fault;
        int get_id;
    };
    auto receive = [](auto change) {
        printersim::ReplyFault f;
        f.service = "qel";
        f.operation = "ReceiveData";
        change(f);
        return f;
    };
    const std::vector<Case> cases = {
        {"garbage datasize",
         printersim::change_element("qel", "ReceiveData", "ivec:datasize", "12ab"), kRefusedCode},
        {"empty datasize", printersim::change_element("qel", "ReceiveData", "ivec:datasize", ""),
         kRefusedCode},
        {"corrupt payload", receive([](auto& f) { f.corrupt_payload = true; }), kRefusedCode},
        // Prefixes bound to other namespace addresses are read by their spelling.
        {"other namespace addresses",
         receive([](auto& f) { f.namespaces = printersim::ReplyNamespaces::WrongUri; }), 0},
        {"other prefix",
         receive([](auto& f) { f.namespaces = printersim::ReplyNamespaces::OtherPrefix; }), 0},
        {"comments holding >", receive([](auto& f) { f.comments_with_gt = true; }), 0},
        // "OK" was read, but a reply cut before "</cmd>" has no payload to take.
        {"cut between elements", receive([](auto& f) { f.cut_after = "</ivec:response>"; }),
         kRefusedCode},
        {"cut inside a tag", receive([](auto& f) { f.cut_to = 120; }), kRefusedCode},
        {"filled to 65536 bytes without NUL", receive([](auto& f) { f.pad_to = 65536; }), 0},
        {"longer than 65536 bytes", receive([](auto& f) { f.pad_to = 70000; }), kExchangeFailed},
    };
    for (const auto& c : cases) {
        Restart({c.fault});
        SimulatedJob session(responder);
        ASSERT_EQ(session.Select(), 0) << c.name;
        std::string id;
        EXPECT_EQ(session.GetRegisteredId(&id), c.get_id) << c.name;
        EXPECT_EQ(session.job.open(), c.get_id == 0) << "a failure ends the job: " << c.name;
    }
}

TEST_F(QelJobAgainstSimulator, RepliesInPiecesAfterWaiting) {
    SimulatedJob session(responder, {.piece_size = 97, .not_ready_reads = 4});
    ASSERT_EQ(session.Select(), 0);
    std::string id;
    ASSERT_EQ(session.GetRegisteredId(&id), 0);
    EXPECT_EQ(id, "VTP-REG-0001");
    const auto& sleeps = session.port.sleeps;
    ASSERT_GE(sleeps.size(), 3u);
    EXPECT_EQ(sleeps[0], 10u);
    EXPECT_EQ(sleeps[1], 100u);
    EXPECT_EQ(sleeps[2], 1000u);
}

TEST_F(QelJobAgainstSimulator, ChannelThatNeverAnswersFails) {
    SimulatedJob session(responder, {.piece_size = 65536, .not_ready_reads = 14});
    EXPECT_EQ(session.Select(), kExchangeFailed);
    EXPECT_FALSE(session.port.is_open());
}

} // namespace
} // namespace vtqeldevc
