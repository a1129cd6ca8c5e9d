// The printer access library's device layer in this process, over the simulated world: the same
// device objects vtqeldevc.dll hands out, reached by the device operations as the library's
// entries, with the PC's WLAN service replaced by the test's. The USB wrapper they bind is the
// wrapper's own exports linked into this process. Their fixed waits, and the wrapper's, are
// recorded instead of slept (an access-point search settles for 15 s, an apply waits a minute).
// While it lives it is the process's device backend.
#pragma once

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "fake_vtwidus.h"
#include "platform.h"
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

    // The fixed waits of the objects, and the wrapper's, in milliseconds, in order.
    std::vector<unsigned> Waits() const;
    std::vector<unsigned> WrapperWaits() const { return wrapperClock_.sleeps; }

private:
    // Loads what the objects load, but binds the USB wrapper's entries in this process.
    class Loader final : public vtqeldevc::ModuleLoader {
    public:
        HMODULE Load(const std::wstring& path) override;
        void* Find(HMODULE module, const char* name) noexcept override;
        void Free(HMODULE module) noexcept override;
    };

    static int WINAPI Create(VTESDevIF** object) noexcept;
    static void WINAPI Delete(VTESDevIF** object) noexcept;

    const vtqeldevc::WlanApi* wlan_;
    Loader loader_;
    vtwidwus::test::FakeConvert wrapperClock_;
    mutable std::mutex lock_;
    std::vector<unsigned> waits_;
    printerutil::ScopedDeviceBackend scope_;
};

} // namespace qelinvitation::testing
