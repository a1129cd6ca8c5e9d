// The printer's XML command face: one request in, one reply out, for the "device" and "qel"
// services on both command paths. Replies that carry application data end with the ciphered
// payload after </cmd>.
#pragma once

#include "printersim/printer_model.h"
#include "printersim/protocol_tables.h"
#include "printersim/scenario.h"

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace printersim {

// The command path a request came in on; USB ports have none and reach every service.
enum class PortPath { Unspecified, Port1, Port2 };

inline constexpr std::wstring_view kPort1Url = L"/velto/ij/command2/port1";
inline constexpr std::wstring_view kPort2Url = L"/velto/ij/command2/port2";
// Unspecified for any other text.
PortPath port_path_from_url(std::wstring_view url) noexcept;

// What the printer received and how it answered, for tests to look at.
struct ExchangeRecord {
    PortPath port = PortPath::Unspecified;
    std::string service;
    std::string operation;
    std::string response; // as decided before faults were applied
    std::string detail;
    std::string application_data; // the deciphered request payload of ReceiveData
    std::size_t reply_bytes = 0;
    std::string request; // the bytes written to the printer, for a replay of the exchange
};

class Responder {
public:
    using SleepFn = std::function<void(unsigned milliseconds)>;

    explicit Responder(SharedPrinter& printer, const ProtocolTables& tables = shared_tables());

    // Replaces the scenario and restarts the fault counters.
    void set_scenario(Scenario scenario);
    // Sleeps of the scenario's delays go here; the default really sleeps.
    void set_sleep(SleepFn sleep);

    // Answers one request: the bytes written to the printer, XML and any payload.
    std::string respond(PortPath port, std::string_view request);

    std::vector<ExchangeRecord> history() const;
    void clear_history();

    SharedPrinter& printer() noexcept { return printer_; }
    const ProtocolTables& tables() const noexcept { return tables_; }

private:
    struct FaultState {
        ReplyFault fault;
        int seen = 0;
    };
    std::vector<ReplyFault> faults_for(const std::string& service, const std::string& operation);

    SharedPrinter& printer_;
    const ProtocolTables& tables_;
    mutable std::mutex mutex_;
    Scenario scenario_;
    std::vector<FaultState> faults_;
    SleepFn sleep_;
    std::vector<ExchangeRecord> history_;
};

} // namespace printersim
