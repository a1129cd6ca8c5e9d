// A test's handle on the simulated world: loads qelworld.dll from a folder and binds every
// QELWORLD_ control function. Header-only; for tests (needs the qelwin include folder).
//
//   qelworld::Client world(qelwin::ThisModuleFolder());
//   ASSERT_TRUE(world.Loaded());
//   ASSERT_EQ(world.Load("[printer office]\nipv4 = 192.168.1.31\n"), "");
//   world.Configure("office", "fault = pu2Write -8 times 2");
//   EXPECT_EQ(world.Get("office", "agreement"), "agree");
#pragma once

#include "qelworld/qelworld_control.h"
#include "win/module_path.h"
#include "win/unique_any.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace qelworld {

class Client {
public:
    explicit Client(const std::wstring& folder)
        : module_(::LoadLibraryW(qelwin::JoinPath(folder, L"qelworld.dll").c_str())) {
        loaded_ = module_ && Bind(reset_, "QELWORLD_Reset") && Bind(load_, "QELWORLD_Load") &&
                  Bind(add_, "QELWORLD_Add") && Bind(loadFile_, "QELWORLD_LoadFile") &&
                  Bind(configure_, "QELWORLD_Configure") && Bind(get_, "QELWORLD_Get") &&
                  Bind(clearJournal_, "QELWORLD_ClearJournal");
    }

    bool Loaded() const { return loaded_; }
    HMODULE Module() const { return module_.get(); }

    void Reset() const { reset_(); }
    // "" on success, else the error text.
    std::string Load(std::string_view text) const { return Text(load_, text); }
    std::string Add(std::string_view text) const { return Text(add_, text); }
    std::string LoadFile(const std::wstring& path) const {
        char error[512] = {};
        return loadFile_(path.c_str(), error, sizeof error) == 0 ? std::string() : Error(error);
    }
    std::string Configure(std::string_view printer, std::string_view line) const {
        char error[512] = {};
        return configure_(std::string(printer).c_str(), std::string(line).c_str(), error,
                          sizeof error) == 0
                   ? std::string()
                   : Error(error);
    }

    // The value of a key ("" also for an unknown key; see Has).
    std::string Get(std::string_view printer, std::string_view key) const {
        const std::string p(printer);
        const std::string k(key);
        const int n = get_(p.c_str(), k.c_str(), nullptr, 0);
        if (n <= 0) {
            return {};
        }
        std::string value(static_cast<std::size_t>(n) + 1, '\0');
        get_(p.c_str(), k.c_str(), value.data(), n + 1);
        value.resize(static_cast<std::size_t>(n));
        return value;
    }
    bool Has(std::string_view printer, std::string_view key) const {
        return get_(std::string(printer).c_str(), std::string(key).c_str(), nullptr, 0) >= 0;
    }
    // A value of several lines, one element each.
    std::vector<std::string> Lines(std::string_view printer, std::string_view key) const {
        std::vector<std::string> lines;
        const std::string all = Get(printer, key);
        std::size_t start = 0;
        while (start < all.size()) {
            const std::size_t end = all.find('\n', start);
            lines.push_back(all.substr(start, end - start));
            start = end == std::string::npos ? all.size() : end + 1;
        }
        return lines;
    }
    std::vector<std::string> Journal() const { return Lines("", "journal"); }
    void ClearJournal() const { clearJournal_(); }

private:
    template <typename Fn> bool Bind(Fn& slot, const char* name) {
        slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
        return slot != nullptr;
    }
    static std::string Error(const char* text) { return *text != '\0' ? text : "failed"; }
    template <typename Fn> static std::string Text(Fn fn, std::string_view text) {
        char error[512] = {};
        return fn(std::string(text).c_str(), error, sizeof error) == 0 ? std::string()
                                                                       : Error(error);
    }

    qelwin::unique_hmodule module_;
    bool loaded_ = false;
    decltype(&QELWORLD_Reset) reset_ = nullptr;
    decltype(&QELWORLD_Load) load_ = nullptr;
    decltype(&QELWORLD_Add) add_ = nullptr;
    decltype(&QELWORLD_LoadFile) loadFile_ = nullptr;
    decltype(&QELWORLD_Configure) configure_ = nullptr;
    decltype(&QELWORLD_Get) get_ = nullptr;
    decltype(&QELWORLD_ClearJournal) clearJournal_ = nullptr;
};

} // namespace qelworld
