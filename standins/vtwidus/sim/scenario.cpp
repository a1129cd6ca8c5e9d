#include "scenario.h"

namespace vtwidussim {

Scenario& Scenario::Get() {
    static Scenario scenario;
    return scenario;
}

void Scenario::Reset() {
    bus_.clear();
    ++generation_;
    faults_.Clear();
    for (auto& c : calls_) {
        c = 0;
    }
    journal_.clear();
    simulatedMs_ = 0;
    gate_.ReleaseAll();
}

int Scenario::AddPrinter(PrinterIdentity identity) {
    Slot slot;
    slot.printer = std::make_unique<UsbPrinter>(std::move(identity));
    bus_.push_back(std::move(slot));
    return static_cast<int>(bus_.size() - 1);
}

UsbPrinter* Scenario::Printer(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= bus_.size()) {
        return nullptr;
    }
    return bus_[static_cast<std::size_t>(index)].printer.get();
}

bool Scenario::IsPlugged(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < bus_.size() &&
           bus_[static_cast<std::size_t>(index)].plugged;
}

bool Scenario::Unplug(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= bus_.size()) {
        return false;
    }
    bus_[static_cast<std::size_t>(index)].plugged = false;
    return true;
}

std::vector<int> Scenario::PluggedPrinters() const {
    std::vector<int> out;
    for (std::size_t i = 0; i < bus_.size(); ++i) {
        if (bus_[i].plugged) {
            out.push_back(static_cast<int>(i));
        }
    }
    return out;
}

void Scenario::SetLastUsbTimeout(int printer, int ms) {
    if (printer >= 0 && static_cast<std::size_t>(printer) < bus_.size()) {
        bus_[static_cast<std::size_t>(printer)].lastUsbTimeout = ms;
    }
}

int Scenario::LastUsbTimeout(int printer) const {
    if (printer < 0 || static_cast<std::size_t>(printer) >= bus_.size()) {
        return -1;
    }
    return bus_[static_cast<std::size_t>(printer)].lastUsbTimeout;
}

void Scenario::CountCall(int entry) {
    if (entry >= 1 && entry <= kEntryCount) {
        ++calls_[static_cast<std::size_t>(entry)];
    }
}

int Scenario::Calls(int entry) const {
    if (entry < 1 || entry > kEntryCount) {
        return -1;
    }
    return calls_[static_cast<std::size_t>(entry)];
}

} // namespace vtwidussim
