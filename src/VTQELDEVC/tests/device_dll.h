// vtqeldevc.dll loaded by full path and bound by name, as the application does, and folders
// that hold a copy of it beside chosen outside libraries.
#pragma once

#include <vtqeldevc/vtqeldevc.h>
#include <win/module_path.h>
#include <win/unique_any.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace vtqeldevc::test {

struct DeviceDll {
    explicit DeviceDll(const std::wstring& path) : module(::LoadLibraryW(path.c_str())) {
        EXPECT_TRUE(module) << "vtqeldevc.dll";
        Bind("CreateVTESDev", create);
        Bind("DeleteVTESDev", destroy);
        Bind("GetVTESDevVersion", version);
    }
    DeviceDll() : DeviceDll(qelwin::JoinPath(qelwin::ThisModuleFolder(), L"vtqeldevc.dll")) {}

    template <typename Fn> void Bind(const char* name, Fn& slot) {
        slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module.get(), name)));
        EXPECT_NE(slot, nullptr) << name;
    }

    qelwin::unique_hmodule module;
    PFN_CreateVTESDev create = nullptr;
    PFN_DeleteVTESDev destroy = nullptr;
    PFN_GetVTESDevVersion version = nullptr;
};

// A fresh device object of a loaded library, deleted through the library.
class DeviceObject {
public:
    explicit DeviceObject(const DeviceDll& dll) : dll_(dll) { EXPECT_EQ(dll_.create(&device_), 1); }
    ~DeviceObject() { dll_.destroy(&device_); }
    DeviceObject(const DeviceObject&) = delete;
    DeviceObject& operator=(const DeviceObject&) = delete;

    VTESDevIF* operator->() const { return device_; }

private:
    const DeviceDll& dll_;
    VTESDevIF* device_ = nullptr;
};

// A temporary folder with copies of files of the build's program folder, each under the name
// it is to have there; removed with the object.
class FolderBeside {
public:
    using Copies = std::vector<std::pair<std::wstring, std::wstring>>;
    explicit FolderBeside(const Copies& copies) {
        namespace fs = std::filesystem;
        const fs::path bin(qelwin::ThisModuleFolder());
        folder_ =
            fs::temp_directory_path() / (L"vtqeldevc_" + std::to_wstring(::GetCurrentProcessId()) +
                                         L"_" + std::to_wstring(++count_));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        for (const auto& [from, to] : copies) {
            fs::copy_file(bin / from, folder_ / to);
        }
    }
    ~FolderBeside() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    FolderBeside(const FolderBeside&) = delete;
    FolderBeside& operator=(const FolderBeside&) = delete;

    std::wstring Path(const std::wstring& file) const { return (folder_ / file).wstring(); }

private:
    static inline int count_ = 0;
    std::filesystem::path folder_;
};

} // namespace vtqeldevc::test
