// The process-wide scenario of the simulated USB bus: the printers plugged in, the faults to
// inject, and what the library was asked to do (call counts, the exchange journal, live
// packets and instances, the simulated clock).
#pragma once

#include "block_gate.h"
#include "fault_plan.h"
#include "usb_printer.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vtwidussim {

// Number of packet-library entries; entry ids run from 1 to this.
inline constexpr int kEntryCount = 27;

class Scenario {
public:
    static Scenario& Get();

    // Guards everything below but the atomic counters and the gate.
    std::mutex& Mutex() { return mutex_; }

    void Reset();

    int AddPrinter(PrinterIdentity identity);
    // The printer of that index, or null; unplugged printers are still found here.
    UsbPrinter* Printer(int index);
    bool IsPlugged(int index) const;
    bool Unplug(int index);
    // Indexes of the printers on the bus, in plugging order.
    std::vector<int> PluggedPrinters() const;
    // Bumped by Reset, so that instances made before it know their printer is gone.
    std::uint64_t Generation() const { return generation_; }

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
    struct Slot {
        std::unique_ptr<UsbPrinter> printer;
        bool plugged = true;
        int lastUsbTimeout = -1;
    };

    std::mutex mutex_;
    std::vector<Slot> bus_;
    std::uint64_t generation_ = 1;
    FaultPlan faults_;
    std::array<std::atomic<int>, kEntryCount + 1> calls_{};
    std::vector<std::string> journal_;
    std::int64_t simulatedMs_ = 0;
    std::atomic<int> livePackets_{0};
    std::atomic<int> liveInstances_{0};
    BlockGate gate_;
};

} // namespace vtwidussim
