// The whole qel job, driven with the library's builders, readers and cipher, against the
// simulated printer behind the in-process command channel.
#include "application_data.h"
#include "command_channel.h"
#include "qel_crypto.h"
#include "replies.h"
#include "requests.h"
#include "text_convert.h"

#include "printersim/responder.h"
#include "printersim/scenario.h"
#include "printersim/simulated_channel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtqeldevc {
namespace {

constexpr int kExchangeFailed = 5;
constexpr int kBuildFailedCode = 2;

// The job's steps in the order a session runs them; each returns 0 or the step's failure: the
// detail code of a refusal, 1 for an unreadable reply, 21 for an unusable payload, 2 for a request
// that was not built, 5 for a failed exchange.
class QelJob {
public:
    QelJob(printersim::Responder& responder, printersim::ChannelBehaviour behaviour = {})
        : device_(responder, printersim::PortPath::Port1, behaviour),
          qel_(responder, printersim::PortPath::Port2, behaviour) {}

    int Select() {
        // The key text: the hardware address, wired first.
        if (BuildDeviceGetStatus(request_, &length_) != kBuildOk) {
            return kBuildFailedCode;
        }
        if (!Exchange(device_, length_)) {
            return kExchangeFailed;
        }
        key_text_.clear();
        if (const int read = ParseNetworkInterfaces(Received(), false, &key_text_); read != 0) {
            return read;
        }
        if (builder_.BuildQelStartJob(request_, &length_) != kBuildOk) {
            return kBuildFailedCode;
        }
        if (!Exchange(qel_, length_)) {
            return kExchangeFailed;
        }
        PairList challenge;
        if (const int read = ParseQelStartJobResponse(Received(), &challenge); read != 0) {
            return read;
        }
        if (builder_.BuildQelStartJobAuth(challenge, key_text_, request_, &length_) != kBuildOk) {
            return kBuildFailedCode;
        }
        if (!Exchange(qel_, length_)) {
            return kExchangeFailed;
        }
        job_.clear();
        return ParseQelStartJobAuthResponse(Received(), &job_);
    }

    int ApplicationData(const char* format, const std::string& document, std::string* reply_text) {
        crypto::Bytes payload;
        std::string digest;
        const std::string* key7 = FindValue(job_, "vvt:ijdatakey7");
        if (key7 == nullptr || crypto::EncryptRequestPayload(document, key_text_, *key7, &payload,
                                                             &digest) != crypto::kOk) {
            return kBuildFailedCode;
        }
        std::size_t total = 0;
        if (builder_.BuildQelReceiveData(JobId(), format, std::to_string(payload.size()), digest,
                                         request_, &length_) != kBuildOk ||
            AppendReceiveDataPayload(request_, length_, payload, &total) != kBuildOk) {
            return kBuildFailedCode;
        }
        if (!Exchange(qel_, total)) {
            return kExchangeFailed;
        }
        PairList pairs;
        return ParseQelReceiveDataResponse(Received(), key_text_, job_, &pairs, reply_text);
    }

    int GetRegisteredId(std::string* id) {
        std::string document;
        std::string reply;
        if (!MakeGetIdDocument(&document)) {
            return kBuildFailedCode;
        }
        if (const int result = ApplicationData(kFormatGetId, document, &reply); result != 0) {
            return result;
        }
        std::string unregistered;
        std::string registered;
        ExtractTagText(reply, "unregister_id", unregistered);
        ExtractTagText(reply, "register_id", registered);
        for (const auto& candidate : {unregistered, registered}) {
            if (candidate.empty()) {
                continue;
            }
            std::string status_reply;
            if (!MakeIdStatusDocument(candidate, &document)) {
                return kBuildFailedCode;
            }
            if (const int result = ApplicationData(kFormatIdStatus, document, &status_reply);
                result != 0) {
                return result;
            }
            std::string status;
            ExtractTagText(status_reply, "id_status", status);
            if (status == "registered") {
                *id = candidate;
                return 0;
            }
        }
        return 0;
    }

    int CreateId(const std::string& url, const std::string& refresh, const std::string& access,
                 const std::string& service, std::string* id) {
        std::string document;
        std::string reply;
        if (!MakeCreateIdDocument(url, refresh, access, service, &document)) {
            return kBuildFailedCode;
        }
        if (const int result = ApplicationData(kFormatCreateId, document, &reply); result != 0) {
            return result;
        }
        ExtractTagText(reply, "printer_id", *id);
        return 0;
    }

    int EndSession() {
        if (builder_.BuildQelEndJob(JobId(), request_, &length_) != kBuildOk) {
            return kBuildFailedCode;
        }
        if (!Exchange(qel_, length_)) {
            return kExchangeFailed;
        }
        PairList pairs;
        return ParseQelEndJobResponse(Received(), &pairs);
    }

    const std::string& key_text() const { return key_text_; }
    const PairList& job() const { return job_; }
    int qel_writes() const { return qel_.writes(); }
    int oversized_writes() const { return qel_.oversized_writes() + device_.oversized_writes(); }
    std::vector<unsigned> sleeps;

private:
    std::string JobId() const {
        const std::string* id = FindValue(job_, "ivec:jobID");
        return id != nullptr ? *id : std::string();
    }

    bool Exchange(ICommandChannel& channel, std::size_t length) {
        std::fill(reply_.begin(), reply_.end(), '\0');
        const auto result =
            TransactOverChannel(channel, std::span<const char>(request_.data(), length), reply_,
                                received_, [this](unsigned ms) { sleeps.push_back(ms); });
        std::fill(request_.begin(), request_.end(), '\0');
        return result == TransactResult::ok;
    }

    Reply Received() const { return {reply_.data(), received_}; }

    printersim::SimulatedChannel device_;
    printersim::SimulatedChannel qel_;
    QelCommandBuilder builder_;
    std::vector<char> request_ = std::vector<char>(kRequestCapacity);
    std::vector<char> reply_ = std::vector<char>(kReplyCapacity);
    std::size_t length_ = 0;
    std::size_t received_ = 0;
    std::string key_text_;
    PairList job_;
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
};

TEST_F(QelJobAgainstSimulator, LoginReadsAndCreatesIds) {
    QelJob job(responder);
    ASSERT_EQ(job.Select(), 0);
    EXPECT_EQ(job.key_text(), "00:1B:A9:3C:00:01");
    const std::string* key7 = FindValue(job.job(), "vvt:ijdatakey7");
    ASSERT_NE(key7, nullptr);
    EXPECT_EQ(*key7, "0000000400000003");

    std::string id;
    ASSERT_EQ(job.GetRegisteredId(&id), 0);
    EXPECT_EQ(id, "VTP-REG-0001");

    std::string created;
    ASSERT_EQ(job.CreateId("https://api.example/<v1>", "refresh&1", "access-2", "001", &created),
              0);
    EXPECT_EQ(created, "VTP-0001-AAAA-0001");
    ASSERT_EQ(job.EndSession(), 0);

    const auto model = printer.snapshot();
    EXPECT_EQ(model.server_url, "https://api.example/<v1>");
    EXPECT_EQ(model.refresh_token, "refresh&1");
    EXPECT_EQ(model.access_token, "access-2");
    EXPECT_EQ(model.service_id, "001");
    EXPECT_FALSE(model.qel_job.open);
    EXPECT_EQ(job.oversized_writes(), 0);
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
    QelJob job(responder);
    ASSERT_EQ(job.Select(), 0);
    EXPECT_EQ(job.key_text(), "00:1b:a9:3c:00:99");
    std::string id;
    EXPECT_EQ(job.GetRegisteredId(&id), 0);
}

TEST_F(QelJobAgainstSimulator, ExplicitPlainModeStillWorks) {
    printer.with([](printersim::PrinterModel& p) { p.cipher_mode = 0; });
    QelJob job(responder);
    ASSERT_EQ(job.Select(), 0);
    std::string id;
    ASSERT_EQ(job.GetRegisteredId(&id), 0);
    EXPECT_EQ(id, "VTP-REG-0001");
}

TEST_F(QelJobAgainstSimulator, NoRegisteredIdLeavesTheOutputAlone) {
    printer.with([](printersim::PrinterModel& p) {
        p.registered_id.clear();
        p.unregistered_id.clear();
    });
    QelJob job(responder);
    ASSERT_EQ(job.Select(), 0);
    std::string id = "kept";
    ASSERT_EQ(job.GetRegisteredId(&id), 0);
    EXPECT_EQ(id, "kept");
    EXPECT_EQ(QelOperations("ReceiveData"), 1);
}

TEST_F(QelJobAgainstSimulator, WrongAnswerIsRefused) {
    printersim::Scenario scenario;
    scenario.answer_address = "00:00:00:00:00:00";
    responder.set_scenario(scenario);
    QelJob job(responder);
    EXPECT_EQ(job.Select(), ResponseDetailToCode("AuthenticationError"));
}

TEST_F(QelJobAgainstSimulator, ImproperChallengeIsNeverAnswered) {
    for (const char* challenge : {"8F3A61C0", "8f3a6", "8f3a61g0"}) {
        printersim::Scenario scenario;
        scenario.challenge = challenge;
        responder.set_scenario(scenario);
        responder.clear_history();
        QelJob job(responder);
        EXPECT_EQ(job.Select(), kBuildFailedCode) << challenge;
        EXPECT_EQ(QelOperations("StartJob"), 1) << challenge;
    }
}

TEST_F(QelJobAgainstSimulator, BadKeyFieldNeverSendsTokens) {
    for (const char* key7 :
         {"00000004000000", "zz000004000000003", "0000000400000010", "0000000500000003", ""}) {
        auto fault = printersim::change_element("qel", "StartJob", "vvt:ijdatakey7", key7);
        fault.skip = 1; // the authenticated start
        responder.set_scenario({{fault}, std::nullopt, std::nullopt});
        responder.clear_history();
        printer.with([](printersim::PrinterModel& p) { p.qel_job = {}; });
        QelJob job(responder);
        ASSERT_EQ(job.Select(), 0) << key7;
        std::string id;
        EXPECT_EQ(job.CreateId("url", "refresh-secret", "access-secret", "001", &id),
                  kBuildFailedCode)
            << key7;
        EXPECT_EQ(QelOperations("ReceiveData"), 0) << key7;
    }
    EXPECT_TRUE(printer.snapshot().access_token.empty());
}

TEST_F(QelJobAgainstSimulator, RefusalsGiveTheirDetailCodes) {
    struct Case {
        printersim::ReplyFault fault;
        int select;
        int get_id;
    };
    const std::vector<Case> cases = {
        {printersim::refuse("qel", "StartJob", "DeviceUseOtherJob"), 6, 0},
        {printersim::refuse("device", "GetStatus", "Initializing"), 13, 0},
        {printersim::refuse("qel", "ReceiveData", "PrinterIDError"), 0, 19},
        {printersim::refuse("qel", "ReceiveData", "NotConnectInternet"), 0, 16},
        {printersim::refuse("qel", "ReceiveData", ""), 0, 1},
    };
    for (const auto& c : cases) {
        responder.set_scenario({{c.fault}, std::nullopt, std::nullopt});
        printer.with([](printersim::PrinterModel& p) { p.qel_job = {}; });
        QelJob job(responder);
        EXPECT_EQ(job.Select(), c.select) << c.fault.detail.value_or("");
        if (c.select == 0) {
            std::string id;
            EXPECT_EQ(job.GetRegisteredId(&id), c.get_id) << c.fault.detail.value_or("");
        }
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
         printersim::change_element("qel", "ReceiveData", "ivec:datasize", "12ab"), 21},
        {"empty datasize", printersim::change_element("qel", "ReceiveData", "ivec:datasize", ""),
         21},
        {"corrupt payload", receive([](auto& f) { f.corrupt_payload = true; }), 21},
        // Prefixes bound to other namespace addresses are read by their spelling.
        {"other namespace addresses",
         receive([](auto& f) { f.namespaces = printersim::ReplyNamespaces::WrongUri; }), 0},
        {"other prefix",
         receive([](auto& f) { f.namespaces = printersim::ReplyNamespaces::OtherPrefix; }), 0},
        {"comments holding >", receive([](auto& f) { f.comments_with_gt = true; }), 0},
        // "OK" was read, but a reply cut before "</cmd>" has no payload to take.
        {"cut between elements", receive([](auto& f) { f.cut_after = "</ivec:response>"; }), 21},
        {"cut inside a tag", receive([](auto& f) { f.cut_to = 120; }), 1},
        {"filled to 65536 bytes without NUL", receive([](auto& f) { f.pad_to = 65536; }), 0},
        {"longer than 65536 bytes", receive([](auto& f) { f.pad_to = 70000; }), kExchangeFailed},
    };
    for (const auto& c : cases) {
        responder.set_scenario({{c.fault}, std::nullopt, std::nullopt});
        printer.with([](printersim::PrinterModel& p) { p.qel_job = {}; });
        QelJob job(responder);
        ASSERT_EQ(job.Select(), 0) << c.name;
        std::string id;
        EXPECT_EQ(job.GetRegisteredId(&id), c.get_id) << c.name;
    }
}

TEST_F(QelJobAgainstSimulator, RepliesInPiecesAfterWaiting) {
    QelJob job(responder, {.piece_size = 97, .not_ready_reads = 4});
    ASSERT_EQ(job.Select(), 0);
    std::string id;
    ASSERT_EQ(job.GetRegisteredId(&id), 0);
    EXPECT_EQ(id, "VTP-REG-0001");
    ASSERT_GE(job.sleeps.size(), 3u);
    EXPECT_EQ(job.sleeps[0], 10u);
    EXPECT_EQ(job.sleeps[1], 100u);
    EXPECT_EQ(job.sleeps[2], 1000u);
}

TEST_F(QelJobAgainstSimulator, ChannelThatNeverAnswersFails) {
    QelJob job(responder, {.piece_size = 65536, .not_ready_reads = 14});
    EXPECT_EQ(job.Select(), kExchangeFailed);
}

} // namespace
} // namespace vtqeldevc
