// The program loads the system libraries its first window does not need at their first call
// (qel_delay_load in its CMakeLists.txt). Those libraries come from the system folder only, and
// one that cannot be loaded, or lacks an entry, ends the run the way a missing library ends it
// at start: a box that names it, then the system loader's status as the exit code. Without these
// hooks the first call would raise an exception that nothing catches.
#include <windows.h>

#include <delayimp.h>

#include <atomic>
#include <string>

#include "win/module_path.h"
#include "win/unique_any.h"

namespace {

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; text != nullptr && *text != '\0'; ++text) {
        wide.push_back(static_cast<unsigned char>(*text)); // library and entry names are ASCII
    }
    return wide;
}

std::wstring SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const qelwin::unique_hlocal owner(buffer);
    std::wstring message =
        length != 0 ? std::wstring(buffer, length) : L"Error " + std::to_wstring(error);
    message.erase(message.find_last_not_of(L"\r\n") + 1);
    return message;
}

[[noreturn]] void EndRun(const DelayLoadInfo& info, DWORD status) noexcept {
    // A second failure while the first is reported (another thread, or the box's own message
    // loop) ends the run at once.
    static std::atomic<bool> reporting{false};
    if (!reporting.exchange(true)) {
        try {
            std::wstring text = Widen(info.szDll);
            if (status == STATUS_ENTRYPOINT_NOT_FOUND) {
                text += L": ";
                text += info.dlp.fImportByName ? Widen(info.dlp.szProcName)
                                               : L"#" + std::to_wstring(info.dlp.dwOrdinal);
            }
            text += L"\n\n" + SystemMessage(info.dwLastError);
            std::wstring caption = qelwin::ModuleFileName(nullptr);
            caption.erase(0, caption.find_last_of(L'\\') + 1);
            ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_ICONERROR | MB_OK);
        } catch (...) {
            // Out of memory: the exit code alone tells what happened.
        }
    }
    ::ExitProcess(status);
}

FARPROC WINAPI OnDelayLoadNote(unsigned note, PDelayLoadInfo info) noexcept {
    if (note != dliNotePreLoadLibrary) {
        return nullptr;
    }
    HMODULE module = ::LoadLibraryExA(info->szDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) {
        info->dwLastError = ::GetLastError();
        EndRun(*info, STATUS_DLL_NOT_FOUND);
    }
    return reinterpret_cast<FARPROC>(module);
}

FARPROC WINAPI OnDelayLoadFailure(unsigned failure, PDelayLoadInfo info) noexcept {
    EndRun(*info, failure == dliFailLoadLib ? STATUS_DLL_NOT_FOUND : STATUS_ENTRYPOINT_NOT_FOUND);
}

} // namespace

// The delay-load helper's hooks; defining them here takes the place of the runtime's empty ones.
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = OnDelayLoadNote;
PfnDliHook __pfnDliFailureHook2 = OnDelayLoadFailure;
}
