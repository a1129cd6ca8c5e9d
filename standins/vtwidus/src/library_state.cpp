#include "library_state.h"

#include <chrono>

namespace vtwidussim {

namespace {
// A blocked call goes on by itself after this long, so a test that forgets to release it
// fails instead of hanging.
constexpr std::chrono::milliseconds kBlockSafetyLimit{20000};
} // namespace

LibraryState& LibraryState::Get() {
    return qelworld::World::Get().Face<LibraryState>();
}

void LibraryState::Reset() {
    entries_.clear();
    modelNames_.clear();
    entryPrinters_.clear();
}

int LibraryState::DropHandles() {
    Scenario& scenario = Scenario::Get();
    const int packets = static_cast<int>(packets_.size());
    const int instances = static_cast<int>(instances_.size());
    scenario.LivePackets() -= packets;
    scenario.LiveUsbInstances() -= instances;
    packets_.clear();
    instances_.clear();
    Reset();
    return packets + instances;
}

VTWIDUS_PACKET LibraryState::NewPacket(int version) {
    auto packet = std::make_unique<Packet>(version);
    void* handle = packet.get();
    packets_.emplace(handle, std::move(packet));
    ++Scenario::Get().LivePackets();
    return handle;
}

Packet* LibraryState::FindPacket(VTWIDUS_PACKET handle) {
    const auto it = packets_.find(handle);
    return it == packets_.end() ? nullptr : it->second.get();
}

bool LibraryState::DestroyPacket(VTWIDUS_PACKET handle) {
    if (packets_.erase(handle) == 0) {
        return false;
    }
    --Scenario::Get().LivePackets();
    return true;
}

VTWIDUS_USB_INSTANCE LibraryState::NewInstance(int printer, std::uint64_t generation) {
    auto instance = std::make_unique<UsbInstance>();
    instance->printer = printer;
    instance->generation = generation;
    void* handle = instance.get();
    instances_.emplace(handle, std::move(instance));
    ++Scenario::Get().LiveUsbInstances();
    return handle;
}

UsbInstance* LibraryState::FindInstance(VTWIDUS_USB_INSTANCE handle) {
    const auto it = instances_.find(handle);
    return it == instances_.end() ? nullptr : it->second.get();
}

bool LibraryState::DestroyInstance(VTWIDUS_USB_INSTANCE handle) {
    if (instances_.erase(handle) == 0) {
        return false;
    }
    --Scenario::Get().LiveUsbInstances();
    return true;
}

const VTWIDUS_USB_ENTRY* LibraryState::PublishSearch(Scenario& scenario,
                                                     const std::vector<int>& printers) {
    entries_.clear();
    modelNames_.clear();
    entryPrinters_ = printers;
    for (int index : printers) {
        modelNames_.push_back(scenario.Printer(index)->Identity().modelName);
    }
    // Entries point into modelNames_, which no longer grows.
    for (std::size_t i = 0; i < printers.size(); ++i) {
        entries_.push_back({modelNames_[i].c_str(), &entryPrinters_[i]});
    }
    return entries_.empty() ? nullptr : entries_.data();
}

std::optional<int> LibraryState::PrinterOfEntry(const VTWIDUS_USB_ENTRY* entry) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entry == &entries_[i]) {
            return entryPrinters_[i];
        }
    }
    return std::nullopt;
}

Interception Intercept(std::unique_lock<std::mutex>& lock, int entry, int printer,
                       std::uint8_t command, const std::vector<std::string>* oids) {
    Scenario& scenario = Scenario::Get();
    scenario.CountCall(entry);
    const std::vector<Fault> fired = scenario.Faults().Fire({entry, printer, command, oids});
    Interception out;
    bool block = false;
    for (const Fault& f : fired) {
        switch (f.action) {
        case FaultAction::Block:
            block = true;
            if (f.value != 0 && !out.result) {
                out.result = f.value;
            }
            break;
        case FaultAction::Return:
            if (!out.result) {
                out.result = f.value;
            }
            break;
        case FaultAction::CountWithoutList:
            if (!out.result) {
                out.result = f.value;
                out.countWithoutList = true;
            }
            break;
        case FaultAction::Delay:
            if (!out.delayMs) {
                out.delayMs = f.value;
            }
            break;
        case FaultAction::ErrorStatus:
            if (!out.errorStatus) {
                out.errorStatus = f;
            }
            break;
        case FaultAction::NoSuchObject:
        case FaultAction::NoSuchInstance:
        case FaultAction::EmptyValue:
        case FaultAction::OmitVarbind:
            out.valueFaults.push_back(f);
            break;
        }
    }
    if (block) {
        lock.unlock();
        scenario.Gate().Wait(kBlockSafetyLimit);
        lock.lock();
    }
    return out;
}

} // namespace vtwidussim
