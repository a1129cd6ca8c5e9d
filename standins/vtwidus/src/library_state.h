// What the stand-in library hands out: packets, USB instances and the list of the last search.
// Every handle is checked against these tables, so a destroyed or foreign handle is refused
// instead of being used. All members are used under the world's lock. Packets and instances
// outlive a reset of the world (instances then answer that their printer is gone); they are
// dropped when vtwidus.dll is unloaded.
#pragma once

#include "packet.h"
#include "scenario.h"
#include "vtwidus/vtwidus_api.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vtwidussim {

struct UsbInstance {
    int printer = -1;
    std::uint64_t generation = 0;
    int timeoutMs = 1000;
    bool discovered = false;
    std::string usmUser;
};

class LibraryState final : public qelworld::FaceState {
public:
    static LibraryState& Get();

    std::string_view Library() const override { return "vtwidus"; }
    // Forgets the list of the last search.
    void Reset() override;
    int DropHandles() override;

    VTWIDUS_PACKET NewPacket(int version);
    Packet* FindPacket(VTWIDUS_PACKET handle);
    bool DestroyPacket(VTWIDUS_PACKET handle);

    VTWIDUS_USB_INSTANCE NewInstance(int printer, std::uint64_t generation);
    UsbInstance* FindInstance(VTWIDUS_USB_INSTANCE handle);
    bool DestroyInstance(VTWIDUS_USB_INSTANCE handle);

    // Replaces the search list by entries for these printers; null when there are none.
    const VTWIDUS_USB_ENTRY* PublishSearch(Scenario& scenario, const std::vector<int>& printers);
    // The printer of an entry of the current list, or nullopt for any other address.
    std::optional<int> PrinterOfEntry(const VTWIDUS_USB_ENTRY* entry) const;

private:
    std::unordered_map<void*, std::unique_ptr<Packet>> packets_;
    std::unordered_map<void*, std::unique_ptr<UsbInstance>> instances_;
    std::vector<VTWIDUS_USB_ENTRY> entries_;
    std::vector<std::string> modelNames_;
    std::vector<int> entryPrinters_;
};

// The faults that fired for one call, sorted by what they do.
struct Interception {
    std::optional<int> result;        // the entry returns this at once
    bool countWithoutList = false;    // Search: result with a null list
    std::optional<int> delayMs;       // simulated duration of the answer
    std::optional<Fault> errorStatus; // Comm: the response's error status
    std::vector<Fault> valueFaults;   // Comm: varbind changes in the response
};

// Counts the call and fires its faults. A blocking fault waits with the lock released and
// takes it again before returning.
Interception Intercept(std::unique_lock<std::mutex>& lock, int entry, int printer = -1,
                       std::uint8_t command = 0, const std::vector<std::string>* oids = nullptr);

} // namespace vtwidussim
