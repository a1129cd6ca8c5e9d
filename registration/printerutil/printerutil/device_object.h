// One interface object for one device operation: created, initialised, used, terminated and
// deleted inside the operation, never kept or shared.
#pragma once

#include "printerutil/device_library.h"

namespace printerutil {

class DeviceObject {
public:
    // Creates the object through the entries; without entries there is none.
    explicit DeviceObject(const std::optional<DeviceEntries>& entries) noexcept;
    // Terminate (once Initialize was called, whatever it gave), then DeleteVTESDev.
    ~DeviceObject();
    DeviceObject(const DeviceObject&) = delete;
    DeviceObject& operator=(const DeviceObject&) = delete;

    explicit operator bool() const noexcept { return object_ != nullptr; }
    VTESDevIF* operator->() const noexcept { return object_; }

    // The library's Initialize result; the operation's own calls follow only on 0.
    int Initialize() noexcept;

private:
    DeviceEntries entries_;
    VTESDevIF* object_ = nullptr;
    bool initialized_ = false;
};

} // namespace printerutil
