// Helpers of the tests of the stand-in libraries: a library loaded from the tests' folder (as the
// printer access library loads it) with its entries bound by name, the world's control, and the
// XML requests that a printer answers.
#pragma once

#include "printersim/protocol_tables.h"
#include "qelworld/qelworld_client.h"
#include "vtmpu/vtmpu_api.h"
#include "vtmpu2/vtmpu2_api.h"
#include "vtwiduns/vtwiduns_api.h"
#include "win/module_path.h"
#include "win/unique_any.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
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

// vtmpu2.dll with its entries.
struct Vtmpu2 {
    explicit Vtmpu2(const std::wstring& folder = qelwin::ThisModuleFolder())
        : lib(L"vtmpu2.dll", folder) {
        lib.Bind(Open, "pu2Open");
        lib.Bind(Close, "pu2Close");
        lib.Bind(SetIF, "pu2SetIF");
        lib.Bind(SetIP, "pu2SetIP");
        lib.Bind(SetPrinterName, "pu2SetPrinterName");
        lib.Bind(SetUrl, "pu2SetUrl");
        lib.Bind(SetTimeout, "pu2SetTimeout");
        lib.Bind(Write, "pu2Write");
        lib.Bind(Read, "pu2Read");
    }
    // A channel set up as a port control sets it up; 0 when a step failed.
    PU2_HANDLE Channel(const wchar_t* target, bool byAddress = true,
                       const wchar_t* path = L"/velto/ij/command2/port1") const {
        const PU2_HANDLE h = Open();
        if (h != 0 && (SetIF(h, PU2_IF_NETWORK) != 0 ||
                       (byAddress ? SetIP(h, target) : SetPrinterName(h, target)) != 0 ||
                       SetUrl(h, path) != 0 || SetTimeout(h, PU2_TIMEOUT_KIND_IO, 60) != 0)) {
            Close(h);
            return 0;
        }
        return h;
    }
    int Send(PU2_HANDLE h, const std::string& request) const {
        return Write(h, request.data(), static_cast<int>(request.size()), 0);
    }

    FaceLibrary lib;
    decltype(&pu2Open) Open = nullptr;
    decltype(&pu2Close) Close = nullptr;
    decltype(&pu2SetIF) SetIF = nullptr;
    decltype(&pu2SetIP) SetIP = nullptr;
    decltype(&pu2SetPrinterName) SetPrinterName = nullptr;
    decltype(&pu2SetUrl) SetUrl = nullptr;
    decltype(&pu2SetTimeout) SetTimeout = nullptr;
    decltype(&pu2Write) Write = nullptr;
    decltype(&pu2Read) Read = nullptr;
};

// vtmpu.dll with its entries.
struct Vtmpu {
    Vtmpu() {
        lib.Bind(Open, "puOpen");
        lib.Bind(OpenPort, "puOpenPort");
        lib.Bind(Close, "puClose");
        lib.Bind(DeviceID, "puDeviceID");
        lib.Bind(Write, "puWrite");
        lib.Bind(Read, "puRead");
        lib.Bind(WorkingPort, "pulowWorkingPort");
    }
    // Writes the whole request; 0 when it failed.
    int Send(PU_HANDLE h, const std::string& request) const {
        int written = -1;
        const int ok = Write(h, request.data(), static_cast<int>(request.size()), &written, 2000);
        if (ok != 0) {
            EXPECT_EQ(written, static_cast<int>(request.size()));
        }
        return ok;
    }
    // One puRead: "" when nothing came, "<failed>" when it failed.
    std::string Receive(PU_HANDLE h, int capacity = 65536) const {
        std::string buffer(static_cast<std::size_t>(capacity), '\0');
        int length = -1;
        if (Read(h, buffer.data(), capacity, &length, 2000) == 0) {
            return "<failed>";
        }
        return buffer.substr(0, static_cast<std::size_t>(length));
    }

    FaceLibrary lib{L"vtmpu.dll"};
    decltype(&puOpen) Open = nullptr;
    decltype(&puOpenPort) OpenPort = nullptr;
    decltype(&puClose) Close = nullptr;
    decltype(&puDeviceID) DeviceID = nullptr;
    decltype(&puWrite) Write = nullptr;
    decltype(&puRead) Read = nullptr;
    decltype(&pulowWorkingPort) WorkingPort = nullptr;
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

inline std::string HexUpper(std::string_view bytes) {
    std::string out;
    char two[3];
    for (unsigned char c : bytes) {
        std::snprintf(two, sizeof two, "%02X", c);
        out += two;
    }
    return out;
}

// The wireless settings block of vtwiduns as the printer access library writes it.
inline std::string SettingsBlock(const std::string& ssid, const std::string& key, bool secured,
                                 const std::string& accessPointText) {
    std::string block(VTWIDUNS_SETTINGS_BYTES, '\0');
    const auto put = [&](int section, int cell, const std::string& text) {
        std::memcpy(block.data() + (section * VTWIDUNS_SECTION_CELLS + cell) * VTWIDUNS_CELL_BYTES,
                    text.data(), text.size());
    };
    put(0, 0, "wireless0");
    put(0, 3, "1");
    put(0, 4, "1");
    put(0, 5, "DHCP");
    put(0, 18, HexUpper(ssid));
    put(0, 20, accessPointText);
    put(0, 21, "0");
    put(0, 30, "0");
    put(0, 33, "0");
    put(0, 36, secured ? "1" : "0");
    if (secured) {
        put(0, 37, "AUTO");
        std::string masked;
        for (char c : key) {
            masked += static_cast<char>(static_cast<unsigned char>(c) ^ VTWIDUNS_KEY_MASK);
        }
        put(0, 35, HexUpper(masked));
    }
    put(1, 0, "wireless1");
    put(2, 0, "wireless2");
    return block;
}

} // namespace qelworld::test
