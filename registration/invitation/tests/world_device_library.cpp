#include "world_device_library.h"

#include <cstring>
#include <utility>

#include <iwrapsnmpoverusb/iwrapsnmpoverusb.h>

#include "vtesdev_lib.h"
#include "vtwidwus_lib.h"

namespace qelinvitation::testing {

namespace {

WorldDeviceLibrary* g_current = nullptr;

// Stands for the wrapper "loaded" in this process; never given to the system.
const HMODULE kWrapper = reinterpret_cast<HMODULE>(&g_current);

bool IsWrapper(const std::wstring& path) {
    const std::wstring file = vtqeldevc::kVtwidwusFile;
    return path.size() >= file.size() &&
           _wcsicmp(path.c_str() + path.size() - file.size(), file.c_str()) == 0;
}

} // namespace

HMODULE WorldDeviceLibrary::Loader::Load(const std::wstring& path) {
    return IsWrapper(path) ? kWrapper : vtqeldevc::SystemModuleLoader().Load(path);
}

void* WorldDeviceLibrary::Loader::Find(HMODULE module, const char* name) noexcept {
    if (module != kWrapper) {
        return vtqeldevc::SystemModuleLoader().Find(module, name);
    }
#define QEL_WRAPPER_ENTRY(entry)                                                                   \
    if (std::strcmp(name, #entry) == 0) {                                                          \
        return reinterpret_cast<void*>(&::entry);                                                  \
    }
    VTQELDEVC_WUS_ENTRIES(QEL_WRAPPER_ENTRY)
#undef QEL_WRAPPER_ENTRY
    return nullptr;
}

void WorldDeviceLibrary::Loader::Free(HMODULE module) noexcept {
    if (module != kWrapper) {
        vtqeldevc::SystemModuleLoader().Free(module);
    }
}

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
        platform.loader = &library->loader_;
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
