#include "scripted_outside.h"

#include <iwrapsnmpoverusb/iwrapsnmpoverusb.h>
#include <vtmpu/vtmpu_api.h>
#include <vtmpu2/vtmpu2_api.h>
#include <vtwiduns/vtwiduns_api.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

namespace vtqeldevc::test {
namespace {

ScriptedOutside* g_current = nullptr;

ScriptedOutside& O() {
    return ScriptedOutside::Current();
}

// A scripted entry as the library's own entry type: a fake of another type does not compile.
template <typename Declared> void* As(Declared fake) {
    return reinterpret_cast<void*>(fake);
}

// An entry that the code under test binds but these tests never have it call: it answers 0.
template <typename Fn> struct Idle;
template <typename R, typename... A> struct Idle<R (*)(A...)> {
    static R __stdcall Call(A...) { return R(); }
};
template <typename R, typename... A> struct Idle<R (*)(A...) noexcept> {
    static R __stdcall Call(A...) noexcept { return R(); }
};
// clang-format off
#define IDLE(name) {#name, As<decltype(&::name)>(&Idle<decltype(&::name)>::Call)}
#define ENTRY(name, fake) {#name, As<decltype(&::name)>(&fake)}
// clang-format on

template <typename T> T Next(std::deque<T>& queue, T otherwise) {
    if (queue.empty()) {
        return otherwise;
    }
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

PU_HANDLE const kPuHandle = reinterpret_cast<PU_HANDLE>(0x55);
VTWIDUNS_INSTANCE const kUnsInstance = reinterpret_cast<VTWIDUNS_INSTANCE>(0x1234);
VTWIDWUS_INSTANCE const kWusInstance = reinterpret_cast<VTWIDWUS_INSTANCE>(0x5678);

// ---- vtmpu2 ----
PU2_HANDLE __stdcall Pu2Open() {
    O().Log("pu2Open");
    return Next(O().pu2.opens, 7);
}
int __stdcall Pu2Close(PU2_HANDLE handle) {
    O().Log("pu2Close " + std::to_string(handle));
    return O().pu2.close;
}
int __stdcall Pu2SetIF(PU2_HANDLE, int kind) {
    O().Log("pu2SetIF " + std::to_string(kind));
    return 0;
}
int __stdcall Pu2SetIP(PU2_HANDLE, const wchar_t* address) {
    O().Log("pu2SetIP " + Narrow(address));
    return O().pu2.set_ip;
}
int __stdcall Pu2SetPrinterName(PU2_HANDLE, const wchar_t* name) {
    O().Log("pu2SetPrinterName " + Narrow(name));
    return 0;
}
int __stdcall Pu2SetUrl(PU2_HANDLE, const wchar_t* path) {
    O().Log("pu2SetUrl " + Narrow(path));
    return 0;
}
int __stdcall Pu2SetTimeout(PU2_HANDLE, int kind, int seconds) {
    O().Log("pu2SetTimeout " + std::to_string(kind) + " " + std::to_string(seconds));
    return 0;
}
int __stdcall Pu2Write(PU2_HANDLE, const char*, int, int) {
    O().Log("pu2Write");
    return Next(O().pu2.writes, 0);
}
int __stdcall FakePu2Read(PU2_HANDLE, char* buffer, int* size, int* more) {
    O().Log("pu2Read");
    auto& reads = O().pu2.reads;
    Pu2Read step = Next(reads, Pu2Answer(PU2_ERR_FAILED));
    if (step.result != PU2_OK) {
        return step.result;
    }
    const std::size_t room = static_cast<std::size_t>(std::max(*size, 0));
    const std::size_t copied = std::min(step.bytes.size(), room);
    std::memcpy(buffer, step.bytes.data(), copied);
    *more = step.more;
    if (copied < step.bytes.size()) {
        reads.push_front(Pu2Piece(step.bytes.substr(copied), step.more));
        *more = 1;
    }
    *size = step.claimed >= 0 ? step.claimed : static_cast<int>(copied);
    return PU2_OK;
}

// ---- vtmpu ----
PU_HANDLE __stdcall PuOpen(const char* name, int) {
    O().Log(std::string("puOpen ") + name);
    return O().pu.open ? kPuHandle : nullptr;
}
PU_HANDLE __stdcall PuOpenPort(const char* name, int) {
    O().Log(std::string("puOpenPort ") + name);
    return O().pu.open_port ? kPuHandle : nullptr;
}
int __stdcall PuClose(PU_HANDLE) {
    O().Log("puClose");
    return O().pu.close;
}
int __stdcall PuWrite(PU_HANDLE, const char*, int length, int* written, int) {
    O().Log("puWrite");
    const int ok = Next(O().pu.writes, 1);
    *written = ok != 0 ? length : 0;
    return ok;
}
int __stdcall FakePuRead(PU_HANDLE, char* buffer, int capacity, int* length, int) {
    O().Log("puRead");
    const PuRead step = Next(O().pu.reads, PuRead{0, {}});
    if (step.ok == 0) {
        return 0;
    }
    const std::size_t copied = std::min(step.bytes.size(), static_cast<std::size_t>(capacity));
    std::memcpy(buffer, step.bytes.data(), copied);
    *length = static_cast<int>(copied);
    return step.ok;
}
int __stdcall PuWorkingPorts(char* buffer, int capacity, int* count) {
    O().Log("pulowWorkingPort");
    const std::string& list = O().pu.port_list;
    const std::size_t copied = std::min(list.size(), static_cast<std::size_t>(capacity));
    std::memcpy(buffer, list.data(), copied);
    if (copied < static_cast<std::size_t>(capacity)) {
        buffer[copied] = '\0';
    }
    *count = O().pu.port_count;
    return O().pu.port_list_ok;
}

// ---- vtwiduns ----
VTWIDUNS_INSTANCE __stdcall UnsCreate() {
    O().Log("VTWIDUNS_CreateInstance");
    return O().uns_instance ? kUnsInstance : nullptr;
}
void __stdcall UnsDestroy(VTWIDUNS_INSTANCE) {
    O().Log("VTWIDUNS_DestroyInstance");
}
int __stdcall UnsCommStart(VTWIDUNS_INSTANCE, const char* key) {
    O().Log(std::string("CommStart ") + key);
    return Next(O().uns.comm_starts, O().uns.comm_start);
}
int __stdcall UnsCommEnd(VTWIDUNS_INSTANCE, const char* key) {
    O().Log(std::string("CommEnd ") + key);
    return 0;
}
int __stdcall UnsGetInfo(VTWIDUNS_INSTANCE, const char*, int kind, void* buffer, int* work,
                         int countOnly) {
    auto& script = O().uns;
    const bool interfaces = kind == VTWIDUNS_INFO_INTERFACES;
    const auto& entries = interfaces ? script.interfaces : script.access_points;
    const std::size_t cells = interfaces ? VTWIDUNS_INTERFACE_CELLS : VTWIDUNS_ACCESS_POINT_CELLS;
    O().Log("GetInfo " + std::to_string(kind) + (buffer == nullptr ? " count" : " read") +
            (countOnly != 0 ? " 1" : " 0"));
    if (buffer == nullptr) {
        return static_cast<int>(entries.size());
    }
    if (const int fails = interfaces ? script.interface_read : script.access_point_read) {
        return fails;
    }
    const std::size_t written = std::min(entries.size(), static_cast<std::size_t>(*work));
    char* out = static_cast<char*>(buffer);
    for (std::size_t e = 0; e < written; ++e) {
        for (std::size_t c = 0; c < entries[e].size() && c < cells; ++c) {
            const std::string& text = entries[e][c];
            std::memcpy(out + (e * cells + c) * VTWIDUNS_CELL_BYTES, text.data(),
                        std::min<std::size_t>(text.size(), VTWIDUNS_CELL_BYTES));
        }
    }
    *work = static_cast<int>(written);
    return static_cast<int>(written);
}
int __stdcall UnsSetInfo(VTWIDUNS_INSTANCE, const char*, int kind, const void* block, int size) {
    O().Log("SetInfo " + std::to_string(kind) + " " + std::to_string(size));
    const char* bytes = static_cast<const char*>(block);
    O().uns.settings.assign(bytes, bytes + size);
    return O().uns.set_info;
}
int __stdcall UnsControl(VTWIDUNS_INSTANCE, const char*, int code, int value) {
    O().Log("Control " + std::to_string(code) + " " + std::to_string(value));
    return O().uns.control;
}

// ---- vtwidwus ----
VTWIDWUS_INSTANCE WINAPI WusCreate() noexcept {
    O().Log("VTWIDWUS_CreateInstance");
    return O().wus_instance ? kWusInstance : nullptr;
}
void WINAPI WusDestroy(VTWIDWUS_INSTANCE) noexcept {
    O().Log("VTWIDWUS_DestroyInstance");
}
int WINAPI WusGetInfo(VTWIDWUS_INSTANCE, const tagUsbDevice* device, int type, void* out) noexcept {
    O().Log("GetInfo " + std::to_string(type) + " " + device->serialNumber_);
    if (type == VTWIDWUS_INFO_TYPE_INFRA) {
        tagUsbSnmpInfraInfo infra{};
        infra.band_ = O().wus.band;
        infra.channel_ = 99;
        std::strcpy(infra.ssid_, "before");
        std::memcpy(out, &infra, sizeof infra);
    }
    return O().wus.get_info;
}
int WINAPI WusSetInfo(VTWIDWUS_INSTANCE, const tagUsbDevice* device, int type,
                      const void* in) noexcept {
    O().Log("SetInfo " + std::to_string(type) + " " + device->serialNumber_);
    O().wus.written.push_back(*static_cast<const tagUsbSnmpInfraInfo*>(in));
    return O().wus.set_info;
}
int WINAPI WusExecute(VTWIDWUS_INSTANCE, const tagUsbDevice* device, int flags,
                      tagUsbSnmpApSearchExecuteParamInfo* params, int wait) noexcept {
    O().Log("ExecuteWithParams " + std::to_string(flags) + " mode " +
            std::to_string(params->dot11APSearchExecuteParamdot11Mode) + " wait " +
            std::to_string(wait) + " " + device->serialNumber_);
    O().wus.params.push_back(*params);
    return Next(O().wus.executes, 0);
}
int WusList(const char* event, int* count, tagUsbSnmpApSearchResultInfo** rows) noexcept {
    O().Log(event);
    WusScript& script = O().wus;
    if (script.list == 0) {
        *count = script.count.value_or(static_cast<int>(script.rows.size()));
        *rows = script.null_rows ? nullptr : script.rows.data();
    }
    return script.list;
}
int WINAPI WusResultList(VTWIDWUS_INSTANCE, const tagUsbDevice*, int* count,
                         tagUsbSnmpApSearchResultInfo** rows) noexcept {
    return WusList("GetApSearchResultInfoList", count, rows);
}
int WINAPI WusSearchAndWait(VTWIDWUS_INSTANCE, const tagUsbDevice*, const char* ssid, int* count,
                            tagUsbSnmpApSearchResultInfo** rows) noexcept {
    return WusList(ssid == nullptr ? "ApSearchAndWait" : "ApSearchAndWait named", count, rows);
}

HMODULE HandleOf(std::size_t index) {
    return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x10000 * (index + 1)));
}

} // namespace

std::wstring FileOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) {
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return narrow;
}

ScriptedOutside::ScriptedOutside() {
    libraries_[L"vtmpu2.dll"] = {
        ENTRY(pu2Open, Pu2Open),
        ENTRY(pu2Close, Pu2Close),
        ENTRY(pu2SetIF, Pu2SetIF),
        ENTRY(pu2SetIP, Pu2SetIP),
        ENTRY(pu2SetPrinterName, Pu2SetPrinterName),
        ENTRY(pu2SetUrl, Pu2SetUrl),
        ENTRY(pu2SetTimeout, Pu2SetTimeout),
        IDLE(pu2SetMasterPortOption),
        IDLE(pu2SetEventType),
        IDLE(pu2SetCommandType),
        IDLE(pu2SetEventBufferSize),
        ENTRY(pu2Write, Pu2Write),
        ENTRY(pu2Read, FakePu2Read),
    };
    libraries_[L"vtmpu.dll"] = {
        ENTRY(puOpen, PuOpen),
        ENTRY(puOpenPort, PuOpenPort),
        ENTRY(puClose, PuClose),
        IDLE(puDeviceID),
        ENTRY(puRead, FakePuRead),
        ENTRY(puWrite, PuWrite),
        ENTRY(pulowWorkingPort, PuWorkingPorts),
    };
    libraries_[L"vtwiduns.dll"] = {
        ENTRY(VTWIDUNS_CreateInstance, UnsCreate),
        ENTRY(VTWIDUNS_DestroyInstance, UnsDestroy),
        IDLE(VTWIDUNS_OptSetting),
        IDLE(VTWIDUNS_Search),
        IDLE(VTWIDUNS_GetDeviceId),
        ENTRY(VTWIDUNS_CommStart, UnsCommStart),
        ENTRY(VTWIDUNS_CommEnd, UnsCommEnd),
        ENTRY(VTWIDUNS_GetInfo, UnsGetInfo),
        ENTRY(VTWIDUNS_SetInfo, UnsSetInfo),
        ENTRY(VTWIDUNS_Control, UnsControl),
        IDLE(VTWIDUNS_CommEndNotUnLock),
        IDLE(VTWIDUNS_UnLock),
    };
    libraries_[L"vtwidwus.dll"] = {
        ENTRY(VTWIDWUS_CreateInstance, WusCreate),
        ENTRY(VTWIDWUS_DestroyInstance, WusDestroy),
        IDLE(VTWIDWUS_Search),
        IDLE(VTWIDWUS_SetTimeout),
        ENTRY(VTWIDWUS_GetInfo, WusGetInfo),
        ENTRY(VTWIDWUS_SetInfo, WusSetInfo),
        IDLE(VTWIDWUS_SetInfoAndWaitChangeDot11Mode),
        IDLE(VTWIDWUS_ApSearch),
        ENTRY(VTWIDWUS_ApSearchAndWait, WusSearchAndWait),
        ENTRY(VTWIDWUS_ApSearchExecuteWithParams, WusExecute),
        ENTRY(VTWIDWUS_GetApSearchResultInfoList, WusResultList),
        IDLE(VTWIDWUS_Cancel),
    };
    previous_ = std::exchange(g_current, this);
}

ScriptedOutside::~ScriptedOutside() {
    g_current = previous_;
}

ScriptedOutside& ScriptedOutside::Current() {
    if (g_current == nullptr) {
        throw std::logic_error("a scripted entry was called without a script");
    }
    return *g_current;
}

bool ScriptedOutside::Has(const std::wstring& file, const std::string& entry) const {
    const auto library = libraries_.find(file);
    return library != libraries_.end() && library->second.count(entry) != 0;
}

HMODULE ScriptedOutside::Load(const std::wstring& path) {
    load_paths.push_back(path);
    const std::wstring file = FileOf(path);
    if (file == throw_on_load) {
        Log("load threw " + Narrow(file));
        throw std::bad_alloc();
    }
    const auto library = libraries_.find(file);
    if (library == libraries_.end()) {
        Log("load failed " + Narrow(file));
        return nullptr;
    }
    Log("load " + Narrow(file));
    if (ids_.count(file) == 0) {
        const std::size_t id = ids_.size();
        ids_[file] = id;
    }
    const HMODULE module = HandleOf(ids_[file]);
    modules_[module] = file;
    ++references_[module];
    return module;
}

void* ScriptedOutside::Find(HMODULE module, const char* name) noexcept {
    const auto file = modules_.find(module);
    if (file == modules_.end() || references_[module] == 0) {
        return nullptr;
    }
    const auto& entries = libraries_[file->second];
    const auto entry = entries.find(name);
    return entry == entries.end() ? nullptr : entry->second;
}

void ScriptedOutside::Free(HMODULE module) noexcept {
    const auto file = modules_.find(module);
    if (file == modules_.end() || references_[module] == 0) {
        ++bad_frees;
        Log("bad free");
        return;
    }
    --references_[module];
    Log("free " + Narrow(file->second));
}

int ScriptedOutside::Loaded() const {
    int loaded = 0;
    for (const auto& [module, count] : references_) {
        loaded += count;
    }
    return loaded;
}

} // namespace vtqeldevc::test
