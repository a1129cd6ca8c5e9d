// The packet library's face of the simulated world: the bus is the world's printers that the
// packet library sees, and this keeps what only this face has (the faults to inject, call counts,
// the exchange journal, live packets and instances, the simulated clock). Everything runs under
// the world's lock but the atomic counters and the gate.
#pragma once

#include "block_gate.h"
#include "fault_plan.h"
#include "usb_printer.h"
#include "world.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace vtwidussim {

// Number of packet-library entries; entry ids run from 1 to this.
inline constexpr int kEntryCount = 27;

class Scenario final : public qelworld::FaceState {
public:
    static Scenario& Get();

    // The world's lock.
    std::mutex& Mutex();

    std::string_view Library() const override { return "vtwidus"; }
    // Drops every fault, clears call counts, the journal and the simulated clock, and lets
    // every blocked call go (the world empties the bus).
    void Reset() override;

    // Plugs a new printer of the world into the bus; returns its bus index.
    int AddPrinter(PrinterIdentity identity);
    // The printer of that bus index, or null; unplugged printers are still found here.
    UsbPrinter* Printer(int index);
    qelworld::WorldPrinter* WorldPrinterAt(int index);
    bool IsPlugged(int index) const;
    bool Unplug(int index);
    // Indexes of the printers on the bus, in plugging order.
    std::vector<int> PluggedPrinters() const;
    // Bumped by every reset of the world, so that instances made before know their printer is
    // gone.
    std::uint64_t Generation() const;

    void SetLastUsbTimeout(int printer, int ms);
    int LastUsbTimeout(int printer) const;

    FaultPlan& Faults() { return faults_; }

    void CountCall(int entry);
    int Calls(int entry) const;

    void AddJournalLine(std::string line) { journal_.push_back(std::move(line)); }
    const std::vector<std::string>& Journal() const { return journal_; }
    void ClearJournal() { journal_.clear(); }

    void AdvanceTime(std::int64_t ms) { simulatedMs_ += ms; }
    std::int64_t SimulatedTimeMs() const { return simulatedMs_; }

    std::atomic<int>& LivePackets() { return livePackets_; }
    std::atomic<int>& LiveUsbInstances() { return liveInstances_; }

    BlockGate& Gate() { return gate_; }

private:
    FaultPlan faults_;
    std::array<std::atomic<int>, kEntryCount + 1> calls_{};
    std::vector<std::string> journal_;
    std::int64_t simulatedMs_ = 0;
    std::atomic<int> livePackets_{0};
    std::atomic<int> liveInstances_{0};
    BlockGate gate_;
};

} // namespace vtwidussim
