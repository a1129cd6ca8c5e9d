#include "scenario.h"

namespace vtwidussim {

using qelworld::World;

Scenario& Scenario::Get() {
    return World::Get().Face<Scenario>();
}

std::mutex& Scenario::Mutex() {
    return World::Get().Mutex();
}

void Scenario::Reset() {
    faults_.Clear();
    for (auto& c : calls_) {
        c = 0;
    }
    journal_.clear();
    simulatedMs_ = 0;
    gate_.ReleaseAll();
}

int Scenario::AddPrinter(PrinterIdentity identity) {
    World& world = World::Get();
    const auto printer = world.AddPrinter(world.UnusedName("usb"));
    printer->model->with([&](printersim::PrinterModel& m) {
        m.model = std::move(identity.modelName);
        m.serial = std::move(identity.serialNumber);
    });
    printer->usb.NameDirectNetwork();
    printer->usbPort = world.UnusedUsbPort();
    printer->onVtwidwus = true;
    return world.JoinBus(printer);
}

qelworld::WorldPrinter* Scenario::WorldPrinterAt(int index) {
    return World::Get().BusPrinter(index);
}

UsbPrinter* Scenario::Printer(int index) {
    qelworld::WorldPrinter* p = WorldPrinterAt(index);
    return p == nullptr ? nullptr : &p->usb;
}

bool Scenario::IsPlugged(int index) const {
    const qelworld::WorldPrinter* p = World::Get().BusPrinter(index);
    return p != nullptr && p->onVtwidwus && p->OnUsb();
}

bool Scenario::Unplug(int index) {
    qelworld::WorldPrinter* p = WorldPrinterAt(index);
    if (p == nullptr) {
        return false;
    }
    p->plugged = false;
    return true;
}

std::vector<int> Scenario::PluggedPrinters() const {
    return World::Get().BusPrintersPlugged();
}

std::uint64_t Scenario::Generation() const {
    return World::Get().Generation();
}

void Scenario::SetLastUsbTimeout(int printer, int ms) {
    if (qelworld::WorldPrinter* p = WorldPrinterAt(printer)) {
        p->lastUsbTimeout = ms;
    }
}

int Scenario::LastUsbTimeout(int printer) const {
    const qelworld::WorldPrinter* p = World::Get().BusPrinter(printer);
    return p == nullptr ? -1 : p->lastUsbTimeout;
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
