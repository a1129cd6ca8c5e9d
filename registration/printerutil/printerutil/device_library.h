// The binding of the printer access library vtqeldevc.dll: found in the program's folder, loaded
// by the first device operation, kept until the process ends. Device operations reach it, and the
// spooler's answer whether a queue sits on a USB port, through a backend that tests replace.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <string>

#include <vtqeldevc/vtqeldevc.h>

#include "win/unique_any.h"

namespace printerutil {

// The two factory entries of the library.
struct DeviceEntries {
    PFN_CreateVTESDev create = nullptr;
    PFN_DeleteVTESDev destroy = nullptr;
};

// One binding of the library. Binding is guarded: a second thread waits for the first and then
// sees the library whole or not at all.
class DeviceLibraryHandle {
public:
    DeviceLibraryHandle() = default;
    DeviceLibraryHandle(const DeviceLibraryHandle&) = delete;
    DeviceLibraryHandle& operator=(const DeviceLibraryHandle&) = delete;

    // False without doing anything for a null path or a library already bound. Otherwise loads
    // it and takes both entries; a library that cannot be loaded or lacks an entry is freed and
    // left unbound (a later call tries again), and false is given.
    bool Bind(const wchar_t* path);
    // The entries once bound; nothing before.
    std::optional<DeviceEntries> Entries() const;
    // The module, or null.
    HMODULE Module() const;

private:
    mutable std::mutex lock_;
    std::atomic<bool> bound_{false};
    qelwin::unique_hmodule module_;
    DeviceEntries entries_;
};

// The program's folder, a backslash, the name and ".dll"; empty for an empty name.
std::wstring MakeModuleDllPath(const std::wstring& name);

// The process's binding, freed when the process ends.
DeviceLibraryHandle& ProcessDeviceLibrary();
bool BindDeviceLibrary(const wchar_t* path);
// Binds "vtqeldevc" from the program's folder unless it is bound already.
bool LoadDeviceLibrary();

// What the device operations reach outside themselves.
class IDeviceBackend {
public:
    virtual ~IDeviceBackend() = default;
    // The library's entries, loading it when it is not yet; nothing while it is missing.
    virtual std::optional<DeviceEntries> Entries() = 0;
    // True when the printer queue of that name sits on a USB port.
    virtual bool IsUsbPrinterQueue(const std::wstring& queueName) = 0;
};

// The process's backend: the bound library and the spooler, unless a test put another in place.
IDeviceBackend& DeviceBackend();

// Puts another backend in place for the life of the guard (tests; set before the operations
// start and ended after they have).
class ScopedDeviceBackend {
public:
    explicit ScopedDeviceBackend(IDeviceBackend& backend);
    ~ScopedDeviceBackend();
    ScopedDeviceBackend(const ScopedDeviceBackend&) = delete;
    ScopedDeviceBackend& operator=(const ScopedDeviceBackend&) = delete;

private:
    IDeviceBackend* previous_;
};

} // namespace printerutil
