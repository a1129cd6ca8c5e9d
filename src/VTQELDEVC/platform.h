// How the library reaches outside code and time: the loader of the outside libraries it loads
// beside itself, and the sleep behind its fixed waits. Production uses the system's; tests put
// scripted libraries and a recording sleep in their place.
#pragma once

#include "waits.h"

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace vtqeldevc {

class ModuleLoader {
public:
    virtual ~ModuleLoader() = default;
    // LoadLibraryW of a full path; null when it failed.
    virtual HMODULE Load(const std::wstring& path) = 0;
    // GetProcAddress; null when the module has no such entry.
    virtual void* Find(HMODULE module, const char* name) noexcept = 0;
    virtual void Free(HMODULE module) noexcept = 0;
};

ModuleLoader& SystemModuleLoader() noexcept;

struct WlanApi;

struct Platform {
    ModuleLoader* loader = nullptr;         // null: the system loader
    SleepMilliseconds sleep;                // empty: the system's Sleep
    const WlanApi* wlan = nullptr;          // null: the system's WLAN service
    std::function<unsigned()> processors{}; // empty: the count the runtime reports

    ModuleLoader& Loader() const noexcept {
        return loader != nullptr ? *loader : SystemModuleLoader();
    }
    void Wait(unsigned ms) const { vtqeldevc::Wait(sleep, ms); }
    unsigned Processors() const {
        return processors ? processors() : std::thread::hardware_concurrency();
    }
};

// The folder of a loaded module, without a trailing backslash. Empty when there is no module or
// its path cannot be read whole: the outside libraries are then not loaded at all, never by a
// bare file name that the search path would resolve.
std::wstring ModuleFolder(HMODULE module);

} // namespace vtqeldevc
