#include "printerutil/device_library.h"

#include "qelcmn/text_utils.h"
#include "win/module_path.h"
#include "winutil/printer_queue.h"

namespace printerutil {
namespace {

constexpr wchar_t kDeviceLibraryName[] = L"vtqeldevc";

class SystemDeviceBackend final : public IDeviceBackend {
public:
    std::optional<DeviceEntries> Entries() override {
        LoadDeviceLibrary();
        return ProcessDeviceLibrary().Entries();
    }

    bool IsUsbPrinterQueue(const std::wstring& queueName) override {
        return qelwinutil::IsUsbPrinterQueue(queueName);
    }
};

SystemDeviceBackend systemBackend;
std::atomic<IDeviceBackend*> currentBackend{&systemBackend};

} // namespace

bool DeviceLibraryHandle::Bind(const wchar_t* path) {
    if (path == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> hold(lock_);
    if (bound_.load()) {
        return false;
    }
    qelwin::unique_hmodule module(::LoadLibraryW(path));
    if (!module) {
        return false;
    }
    DeviceEntries entries;
    entries.create = reinterpret_cast<PFN_CreateVTESDev>(
        reinterpret_cast<void*>(::GetProcAddress(module.get(), "CreateVTESDev")));
    entries.destroy = reinterpret_cast<PFN_DeleteVTESDev>(
        reinterpret_cast<void*>(::GetProcAddress(module.get(), "DeleteVTESDev")));
    if (entries.create == nullptr || entries.destroy == nullptr) {
        // A library without its factory is no device library; freed with the owner.
        return false;
    }
    module_ = std::move(module);
    entries_ = entries;
    bound_.store(true);
    return true;
}

std::optional<DeviceEntries> DeviceLibraryHandle::Entries() const {
    if (!bound_.load()) {
        return std::nullopt;
    }
    return entries_;
}

HMODULE DeviceLibraryHandle::Module() const {
    std::lock_guard<std::mutex> hold(lock_);
    return module_.get();
}

std::wstring MakeModuleDllPath(const std::wstring& name) {
    if (name.empty()) {
        return {};
    }
    std::wstring folder = qelcmn::GetModuleFilePath();
    if (folder.empty()) {
        // Never by bare name: that would load whatever the search path offers.
        return {};
    }
    qelcmn::RemoveFileSpec(folder);
    return qelwin::JoinPath(folder, name + L".dll");
}

DeviceLibraryHandle& ProcessDeviceLibrary() {
    static DeviceLibraryHandle binding;
    return binding;
}

bool BindDeviceLibrary(const wchar_t* path) {
    return ProcessDeviceLibrary().Bind(path);
}

bool LoadDeviceLibrary() {
    if (ProcessDeviceLibrary().Entries()) {
        return false;
    }
    const std::wstring path = MakeModuleDllPath(kDeviceLibraryName);
    return BindDeviceLibrary(path.c_str());
}

IDeviceBackend& DeviceBackend() {
    return *currentBackend.load();
}

ScopedDeviceBackend::ScopedDeviceBackend(IDeviceBackend& backend)
    : previous_(currentBackend.exchange(&backend)) {}

ScopedDeviceBackend::~ScopedDeviceBackend() {
    currentBackend.store(previous_);
}

} // namespace printerutil
