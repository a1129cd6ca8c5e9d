#include "world_device_library.h"

#include <utility>

#include "vtesdev_lib.h"

namespace qelinvitation::testing {

namespace {

WorldDeviceLibrary* g_current = nullptr;

} // namespace

WorldDeviceLibrary::WorldDeviceLibrary(const vtqeldevc::WlanApi* wlan)
    : wlan_(wlan), scope_(*this) {
    g_current = this;
}

WorldDeviceLibrary::~WorldDeviceLibrary() {
    g_current = nullptr;
}

std::optional<printerutil::DeviceEntries> WorldDeviceLibrary::Entries() {
    return printerutil::DeviceEntries{&WorldDeviceLibrary::Create, &WorldDeviceLibrary::Delete};
}

bool WorldDeviceLibrary::IsUsbPrinterQueue(const std::wstring& queueName) {
    return usbQueues.count(queueName) != 0;
}

std::vector<unsigned> WorldDeviceLibrary::Waits() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return waits_;
}

int WINAPI WorldDeviceLibrary::Create(VTESDevIF** object) noexcept {
    if (object == nullptr || *object != nullptr || g_current == nullptr) {
        return 0;
    }
    try {
        WorldDeviceLibrary* library = g_current;
        vtqeldevc::Platform platform;
        platform.sleep = [library](unsigned ms) {
            const std::lock_guard<std::mutex> hold(library->lock_);
            library->waits_.push_back(ms);
        };
        platform.wlan = library->wlan_;
        // The stand-in libraries lie beside the test program.
        *object = new vtqeldevc::VTESDevLib(::GetModuleHandleW(nullptr), std::move(platform));
        return 1;
    } catch (...) {
        return 0;
    }
}

void WINAPI WorldDeviceLibrary::Delete(VTESDevIF** object) noexcept {
    if (object != nullptr) {
        delete std::exchange(*object, nullptr);
    }
}

} // namespace qelinvitation::testing
