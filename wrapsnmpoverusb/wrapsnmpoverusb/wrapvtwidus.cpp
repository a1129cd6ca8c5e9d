#include "wrapvtwidus.h"

#include "trace.h"

#include <shlwapi.h>
#include <win/run_once.h>

#include <array>
#include <utility>

namespace vtwidwus {

namespace {

constexpr DWORD kPathChars = 1024;
constexpr wchar_t kLibraryName[] = L"vtwidus.dll";

template <typename Fn> bool Bind(HMODULE module, const char* name, Fn& slot) noexcept {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return slot != nullptr;
}

bool BindAll(HMODULE module, VtwidusEntries& e) noexcept {
    // Every entry is resolved, in table order, even after one is missing.
    const std::array<bool, 27> found{
        Bind(module, "VTWIDUS_CreatePacket", e.pfnVTWIDUS_CreatePacket_),
        Bind(module, "VTWIDUS_DestroyPacket", e.pfnVTWIDUS_DestroyPacket_),
        Bind(module, "VTWIDUS_SetCommunityName", e.pfnVTWIDUS_SetCommunityName_),
        Bind(module, "VTWIDUS_SetMsgId", e.pfnVTWIDUS_SetMsgId_),
        Bind(module, "VTWIDUS_GetMsgId", e.pfnVTWIDUS_GetMsgId_),
        Bind(module, "VTWIDUS_EnableReportableFlag", e.pfnVTWIDUS_EnableReportableFlag_),
        Bind(module, "VTWIDUS_SetContextName", e.pfnVTWIDUS_SetContextName_),
        Bind(module, "VTWIDUS_SetCommand", e.pfnVTWIDUS_SetCommand_),
        Bind(module, "VTWIDUS_GetCommand", e.pfnVTWIDUS_GetCommand_),
        Bind(module, "VTWIDUS_SetRequestId", e.pfnVTWIDUS_SetRequestId_),
        Bind(module, "VTWIDUS_GetRequestId", e.pfnVTWIDUS_GetRequestId_),
        Bind(module, "VTWIDUS_GetErrorStatus", e.pfnVTWIDUS_GetErrorStatus_),
        Bind(module, "VTWIDUS_GetErrorIndex", e.pfnVTWIDUS_GetErrorIndex_),
        Bind(module, "VTWIDUS_AddOid", e.pfnVTWIDUS_AddOid_),
        Bind(module, "VTWIDUS_GetOidCount", e.pfnVTWIDUS_GetOidCount_),
        Bind(module, "VTWIDUS_GetOid", e.pfnVTWIDUS_GetOid_),
        Bind(module, "VTWIDUS_OctetsToInt", e.pfnVTWIDUS_OctetsToInt_),
        Bind(module, "VTWIDUS_OctetsToUnsignedInt", e.pfnVTWIDUS_OctetsToUnsignedInt_),
        Bind(module, "VTWIDUS_IntToOctets", e.pfnVTWIDUS_IntToOctets_),
        Bind(module, "VTWIDUS_UnsignedIntToOctets", e.pfnVTWIDUS_UnsignedIntToOctets_),
        Bind(module, "VTWIDUS_Search", e.pfnVTWIDUS_Search_),
        Bind(module, "VTWIDUS_CreateUsbInstance", e.pfnVTWIDUS_CreateUsbInstance_),
        Bind(module, "VTWIDUS_DestroyUsbInstance", e.pfnVTWIDUS_DestroyUsbInstance_),
        Bind(module, "VTWIDUS_SetUsbTimeout", e.pfnVTWIDUS_SetUsbTimeout_),
        Bind(module, "VTWIDUS_Comm", e.pfnVTWIDUS_Comm_),
        Bind(module, "VTWIDUS_SetUsm", e.pfnVTWIDUS_SetUsm_),
        Bind(module, "VTWIDUS_DiscoveryV3", e.pfnVTWIDUS_DiscoveryV3_),
    };
    for (const bool ok : found) {
        if (!ok) {
            return false;
        }
    }
    return true;
}

std::atomic<HMODULE> g_thisModule{nullptr};
std::atomic<const VtwidusEntries*> g_testEntries{nullptr};
INIT_ONCE g_processOnce = INIT_ONCE_STATIC_INIT;
std::atomic<bool> g_processBound{false};
CWrapVtwidus g_process;

} // namespace

std::wstring ModuleFolder(HMODULE module) {
    std::array<wchar_t, kPathChars> path{};
    const DWORD written = ::GetModuleFileNameW(module, path.data(), kPathChars);
    // A path that fills the buffer may have been cut: that is a failure, not a shorter path.
    if (written == 0 || written >= kPathChars) {
        return {};
    }
    if (!::PathRemoveFileSpecW(path.data()) || path[0] == L'\0') {
        return {};
    }
    return std::wstring(path.data());
}

bool CWrapVtwidus::LoadBesideModule(HMODULE module) noexcept {
    try {
        const std::wstring folder = ModuleFolder(module);
        if (folder.empty()) {
            VTW_TRACE(4, "CWrapVtwidus:GetModuleFileNameA() or PathRemoveFileSpecA()");
            return false;
        }
        return LoadFromFolder(folder);
    } catch (...) {
        VTW_TRACE(4, "CWrapVtwidus:GetModuleFileNameA() or PathRemoveFileSpecA()");
        return false;
    }
}

bool CWrapVtwidus::LoadFromFolder(const std::wstring& folder) noexcept {
    entries_ = VtwidusEntries{};
    loaded_.store(false);
    try {
        std::wstring path = folder;
        if (!path.empty() && path.back() != L'\\') {
            path += L'\\';
        }
        path += kLibraryName;
        // The joined path must fit the same 1024 characters as the module path.
        if (folder.empty() || path.size() >= kPathChars) {
            VTW_TRACE(4, "CWrapVtwidus:GetModuleFileNameA() or PathRemoveFileSpecA()");
            return false;
        }
        if (!module_) {
            module_.reset(::LoadLibraryW(path.c_str()));
        }
        if (!module_) {
            VTW_TRACE(3, "CWrapVtwidus:GetProcApis()");
            return false;
        }
        VtwidusEntries bound{};
        if (!BindAll(module_.get(), bound)) {
            VTW_TRACE(3, "CWrapVtwidus:GetProcApis()");
            return false;
        }
        entries_ = bound;
        loaded_.store(true);
        return true;
    } catch (...) {
        return false;
    }
}

void CWrapVtwidus::Unload() noexcept {
    loaded_.store(false);
    entries_ = VtwidusEntries{};
    module_.reset();
}

HMODULE ThisModule() noexcept {
    return g_thisModule.load();
}
void SetThisModule(HMODULE module) noexcept {
    g_thisModule.store(module);
}

CWrapVtwidus& ProcessVtwidus() noexcept {
    qelwin::RunOnce(g_processOnce, [] {
        g_process.LoadBesideModule(ThisModule());
        g_processBound.store(true);
    });
    return g_process;
}

void UnloadProcessVtwidus() noexcept {
    if (g_processBound.load()) {
        g_process.Unload();
    }
}

const VtwidusEntries& Vtwidus() noexcept {
    if (const VtwidusEntries* test = g_testEntries.load()) {
        return *test;
    }
    return ProcessVtwidus().Entries();
}

bool VtwidusLoaded() noexcept {
    if (g_testEntries.load() != nullptr) {
        return true;
    }
    return ProcessVtwidus().IsLoaded();
}

void SetVtwidusForTest(const VtwidusEntries* entries) noexcept {
    g_testEntries.store(entries);
}

} // namespace vtwidwus
