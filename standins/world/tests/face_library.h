// Helpers of the tests of the stand-in libraries: a library loaded from the tests' folder (as the
// printer access library loads it) with its entries bound by name, the world's control, and the
// XML requests that a printer answers.
#pragma once

#include "printersim/protocol_tables.h"
#include "qelworld/qelworld_client.h"
#include "win/module_path.h"
#include "win/unique_any.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace qelworld::test {

class FaceLibrary {
public:
    explicit FaceLibrary(const std::wstring& file,
                         const std::wstring& folder = qelwin::ThisModuleFolder())
        : module_(::LoadLibraryW(qelwin::JoinPath(folder, file).c_str())) {}
    bool Loaded() const { return static_cast<bool>(module_); }
    HMODULE Module() const { return module_.get(); }

    // Binds an entry; a missing one fails the test and stays null.
    template <typename Fn> void Bind(Fn& slot, const char* name) const {
        slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
        EXPECT_NE(slot, nullptr) << name;
    }

private:
    qelwin::unique_hmodule module_;
};

// A command as the printer access library sends it: one document, no payload.
inline std::string Request(std::string_view service, std::string_view operation) {
    const auto& t = printersim::shared_tables();
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><cmd xmlns:ivec=\"" +
           printersim::common_namespace(t) + "\" xmlns:vvt=\"" + printersim::vendor_namespace(t) +
           "\"><ivec:contents><ivec:operation>" + std::string(operation) +
           "</ivec:operation><ivec:param_set servicetype=\"" + std::string(service) +
           "\"></ivec:param_set></ivec:contents></cmd>";
}

// The text of one element of a reply ("" when it is not there).
inline std::string Element(const std::string& reply, const std::string& name) {
    const auto open = reply.find("<" + name + ">");
    if (open == std::string::npos) {
        return {};
    }
    const auto start = open + name.size() + 2;
    const auto close = reply.find("</" + name + ">", start);
    return close == std::string::npos ? std::string() : reply.substr(start, close - start);
}

} // namespace qelworld::test
