#include "printerutil/device_object.h"

namespace printerutil {

DeviceObject::DeviceObject(const std::optional<DeviceEntries>& entries) noexcept {
    if (entries && entries->create != nullptr && entries->destroy != nullptr) {
        entries_ = *entries;
        entries_.create(&object_);
    }
}

DeviceObject::~DeviceObject() {
    if (object_ == nullptr) {
        return;
    }
    if (initialized_) {
        object_->Terminate();
    }
    entries_.destroy(&object_);
}

int DeviceObject::Initialize() noexcept {
    initialized_ = true;
    return object_->Initialize();
}

} // namespace printerutil
