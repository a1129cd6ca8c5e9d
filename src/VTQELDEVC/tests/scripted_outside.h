// The outside libraries in this process: a loader that hands out scripted entry tables by file
// name and keeps one journal of loads, frees and entry calls, and scripts that say what each
// entry answers. The C entry points reach the script of the test that is running through
// ScriptedOutside::Current().
#pragma once

#include "platform.h"

#include <iwrapsnmpoverusb/iwrapsnmpoverusb.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vtqeldevc::test {

// One piece of a vtmpu2 reply: pu2Read hands out at most the room it is offered and keeps the
// rest for the next read (with more = 1). claimed >= 0 makes it report that size instead.
struct Pu2Read {
    int result = 0;
    std::string bytes;
    int more = 0;
    int claimed = -1;
};

inline Pu2Read Pu2Answer(int result) {
    Pu2Read read;
    read.result = result;
    return read;
}
inline Pu2Read Pu2Piece(std::string bytes, int more, int claimed = -1) {
    return {0, std::move(bytes), more, claimed};
}

struct Pu2Script {
    std::deque<int> opens; // pu2Open's channels; 7 once used up
    int set_ip = 0;        // pu2SetIP's result (the other setters answer 0)
    int close = 0;
    std::deque<int> writes;    // pu2Write results; 0 once used up
    std::deque<Pu2Read> reads; // pu2Read answers; PU2_ERR_FAILED once used up
};

// One vtmpu read: ok (non-zero) with the bytes, of which puRead copies what fits.
struct PuRead {
    int ok = 1;
    std::string bytes;
};

struct PuScript {
    bool open = true;
    bool open_port = true;
    int close = 1;
    std::deque<int> writes;   // puWrite results; 1 once used up
    std::deque<PuRead> reads; // puRead answers; a failure once used up
    int port_list_ok = 1;
    std::string port_list; // copied without terminator when it fills the buffer
    int port_count = 1;
};

using Cells = std::vector<std::string>;

struct UnsScript {
    int comm_start = 0;
    int control = 0;
    int set_info = 0;
    std::vector<Cells> interfaces;    // kind 2 entries
    int interface_read = 0;           // non-zero: the read of the entries fails with it
    std::vector<Cells> access_points; // kind 4 entries
    int access_point_read = 0;        // non-zero: the read of the entries fails with it
    std::vector<char> settings;       // the last block written
    std::deque<int> comm_starts{};    // CommStart results before comm_start holds
};

struct WusScript {
    int get_info = 0;                               // GetInfo's result
    int band = 0;                                   // the band word of the infrastructure record
    std::deque<int> executes;                       // searches by parameters; 0 once used up
    int list = 0;                                   // result of both list calls
    std::vector<tagUsbSnmpApSearchResultInfo> rows; // what both list calls hand out
    std::optional<int> count;                       // reported instead of the number of rows
    bool null_rows = false;                         // the list pointer stays null
    int set_info = 0;                               // SetInfo's result
    std::vector<tagUsbSnmpInfraInfo> written{};     // records handed to SetInfo
    std::vector<tagUsbSnmpApSearchExecuteParamInfo> params{}; // handed to each search
};

class ScriptedOutside final : public ModuleLoader {
public:
    // Becomes the current script until it is destroyed.
    ScriptedOutside();
    ~ScriptedOutside() override;
    ScriptedOutside(const ScriptedOutside&) = delete;
    ScriptedOutside& operator=(const ScriptedOutside&) = delete;

    static ScriptedOutside& Current();

    // The platform for the code under test: this loader and a sleep that only records.
    Platform platform() {
        return {this, [this](unsigned ms) { sleeps.push_back(ms); }};
    }

    // Makes a file unloadable, or drops one of its entries (whatever its library).
    void Remove(const std::wstring& file) { libraries_.erase(file); }
    void RemoveEntry(const std::wstring& file, const std::string& entry) {
        libraries_[file].erase(entry);
    }
    bool Has(const std::wstring& file, const std::string& entry) const;

    HMODULE Load(const std::wstring& path) override;
    void* Find(HMODULE module, const char* name) noexcept override;
    void Free(HMODULE module) noexcept override;

    // Modules loaded and not yet freed.
    int Loaded() const;
    void Log(std::string event) { journal.push_back(std::move(event)); }

    Pu2Script pu2;
    PuScript pu;
    UnsScript uns;
    WusScript wus;
    bool uns_instance = true; // VTWIDUNS_CreateInstance makes one
    bool wus_instance = true; // VTWIDWUS_CreateInstance makes one
    std::vector<std::string> journal;
    std::vector<unsigned> sleeps;
    std::vector<std::wstring> load_paths;
    int bad_frees = 0;          // frees of a module that was not loaded
    std::wstring throw_on_load; // loading this file throws, as running out of memory would

private:
    ScriptedOutside* previous_ = nullptr; // the script that was current before this one
    std::map<std::wstring, std::map<std::string, void*>> libraries_;
    std::map<std::wstring, std::size_t> ids_; // a file keeps its module handle
    std::map<HMODULE, std::wstring> modules_;
    std::map<HMODULE, int> references_;
};

// The file name of a path.
std::wstring FileOf(const std::wstring& path);
std::string Narrow(const std::wstring& text);

} // namespace vtqeldevc::test
