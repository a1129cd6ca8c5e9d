// The printer access library's device layer in this process, over the simulated world: the same
// device objects vtqeldevc.dll hands out, reached by the device operations as the library's
// entries, with their fixed waits recorded instead of slept (applying a network waits a minute)
// and the PC's WLAN service replaced by the test's. While it lives it is the process's device
// backend.
#pragma once

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "printerutil/device_library.h"
#include "wlan_profiles.h"

namespace qelinvitation::testing {

class WorldDeviceLibrary final : public printerutil::IDeviceBackend {
public:
    // wlan: the WLAN entries the objects use (null: the system's).
    explicit WorldDeviceLibrary(const vtqeldevc::WlanApi* wlan = nullptr);
    ~WorldDeviceLibrary() override;
    WorldDeviceLibrary(const WorldDeviceLibrary&) = delete;
    WorldDeviceLibrary& operator=(const WorldDeviceLibrary&) = delete;

    std::optional<printerutil::DeviceEntries> Entries() override;
    bool IsUsbPrinterQueue(const std::wstring& queueName) override;

    std::set<std::wstring> usbQueues; // queue names the spooler would put on a USB port

    // The fixed waits of the objects, in milliseconds, in order.
    std::vector<unsigned> Waits() const;

private:
    static int WINAPI Create(VTESDevIF** object) noexcept;
    static void WINAPI Delete(VTESDevIF** object) noexcept;

    const vtqeldevc::WlanApi* wlan_;
    mutable std::mutex lock_;
    std::vector<unsigned> waits_;
    printerutil::ScopedDeviceBackend scope_;
};

} // namespace qelinvitation::testing
