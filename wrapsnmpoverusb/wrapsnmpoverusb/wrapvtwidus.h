// Binding of the packet library vtwidus: one process-wide table of its 27 entries, loaded from
// the folder of this library's own module.
#pragma once

#include <vtwidus/vtwidus_api.h>
#include <win/unique_any.h>
#include <windows.h>

#include <atomic>
#include <string>

namespace vtwidwus {

// The entries in binding order; every one is required.
struct VtwidusEntries {
    decltype(&VTWIDUS_CreatePacket) pfnVTWIDUS_CreatePacket_ = nullptr;
    decltype(&VTWIDUS_DestroyPacket) pfnVTWIDUS_DestroyPacket_ = nullptr;
    decltype(&VTWIDUS_SetCommunityName) pfnVTWIDUS_SetCommunityName_ = nullptr;
    decltype(&VTWIDUS_SetMsgId) pfnVTWIDUS_SetMsgId_ = nullptr;
    decltype(&VTWIDUS_GetMsgId) pfnVTWIDUS_GetMsgId_ = nullptr;
    decltype(&VTWIDUS_EnableReportableFlag) pfnVTWIDUS_EnableReportableFlag_ = nullptr;
    decltype(&VTWIDUS_SetContextName) pfnVTWIDUS_SetContextName_ = nullptr;
    decltype(&VTWIDUS_SetCommand) pfnVTWIDUS_SetCommand_ = nullptr;
    decltype(&VTWIDUS_GetCommand) pfnVTWIDUS_GetCommand_ = nullptr;
    decltype(&VTWIDUS_SetRequestId) pfnVTWIDUS_SetRequestId_ = nullptr;
    decltype(&VTWIDUS_GetRequestId) pfnVTWIDUS_GetRequestId_ = nullptr;
    decltype(&VTWIDUS_GetErrorStatus) pfnVTWIDUS_GetErrorStatus_ = nullptr;
    decltype(&VTWIDUS_GetErrorIndex) pfnVTWIDUS_GetErrorIndex_ = nullptr;
    decltype(&VTWIDUS_AddOid) pfnVTWIDUS_AddOid_ = nullptr;
    decltype(&VTWIDUS_GetOidCount) pfnVTWIDUS_GetOidCount_ = nullptr;
    decltype(&VTWIDUS_GetOid) pfnVTWIDUS_GetOid_ = nullptr;
    decltype(&VTWIDUS_OctetsToInt) pfnVTWIDUS_OctetsToInt_ = nullptr;
    decltype(&VTWIDUS_OctetsToUnsignedInt) pfnVTWIDUS_OctetsToUnsignedInt_ = nullptr;
    decltype(&VTWIDUS_IntToOctets) pfnVTWIDUS_IntToOctets_ = nullptr;
    decltype(&VTWIDUS_UnsignedIntToOctets) pfnVTWIDUS_UnsignedIntToOctets_ = nullptr;
    decltype(&VTWIDUS_Search) pfnVTWIDUS_Search_ = nullptr;
    decltype(&VTWIDUS_CreateUsbInstance) pfnVTWIDUS_CreateUsbInstance_ = nullptr;
    decltype(&VTWIDUS_DestroyUsbInstance) pfnVTWIDUS_DestroyUsbInstance_ = nullptr;
    decltype(&VTWIDUS_SetUsbTimeout) pfnVTWIDUS_SetUsbTimeout_ = nullptr;
    decltype(&VTWIDUS_Comm) pfnVTWIDUS_Comm_ = nullptr;
    decltype(&VTWIDUS_SetUsm) pfnVTWIDUS_SetUsm_ = nullptr;
    decltype(&VTWIDUS_DiscoveryV3) pfnVTWIDUS_DiscoveryV3_ = nullptr;
};

class CWrapVtwidus {
public:
    CWrapVtwidus() noexcept = default;
    // A module still loaded here is left to the process: unloading is explicit (Unload), so
    // nothing is freed while the process terminates.
    ~CWrapVtwidus() { (void)module_.release(); }
    CWrapVtwidus(const CWrapVtwidus&) = delete;
    CWrapVtwidus& operator=(const CWrapVtwidus&) = delete;

    // Loads "vtwidus.dll" from the folder of the given module (null: the process's program)
    // and binds the entries. False when the path, the library or any entry is missing.
    bool LoadBesideModule(HMODULE module) noexcept;
    // Loads "vtwidus.dll" from a folder and binds the entries.
    bool LoadFromFolder(const std::wstring& folder) noexcept;

    bool IsLoaded() const noexcept { return loaded_.load(); }
    HMODULE Module() const noexcept { return module_.get(); }
    const VtwidusEntries& Entries() const noexcept { return entries_; }
    // Forgets the entries and frees the library if it was loaded.
    void Unload() noexcept;

private:
    qelwin::unique_hmodule module_;
    std::atomic<bool> loaded_{false};
    VtwidusEntries entries_{};
};

// The folder part of a module's path, or empty when the path does not fit 1024 characters or
// has no folder part.
std::wstring ModuleFolder(HMODULE module);

// The handle of this library's module, kept by its entry point (null in a program that links
// the wrapper statically).
HMODULE ThisModule() noexcept;
void SetThisModule(HMODULE module) noexcept;

// The process-wide binding, bound on first use from the folder of ThisModule().
CWrapVtwidus& ProcessVtwidus() noexcept;
// Unloads the process-wide binding when it was ever bound (the library's unload).
void UnloadProcessVtwidus() noexcept;

// The table that every packet-library call goes through, and whether it is usable: a table
// set for tests, else the process-wide binding.
const VtwidusEntries& Vtwidus() noexcept;
bool VtwidusLoaded() noexcept;
void SetVtwidusForTest(const VtwidusEntries* entries) noexcept;

} // namespace vtwidwus
