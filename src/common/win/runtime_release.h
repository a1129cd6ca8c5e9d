// What the statically linked C++ runtime of a DLL keeps for good, given back when the DLL is
// freed while the process lives on.
#pragma once

#include <windows.h>

namespace __gnu_cxx {
// libstdc++'s release of the memory it keeps for the life of the program (its emergency pool
// for exceptions thrown when memory runs out); it has no public header.
void __freeres();
} // namespace __gnu_cxx

namespace qelwin {

// For DllMain of every DLL that is freed and loaded again while the process runs. Each DLL
// carries its own copy of the C++ runtime, and that copy takes its emergency exception pool
// (about 73 KB) from the C runtime's heap, which the whole process shares, when the DLL starts,
// and never frees it: a library loaded around every device operation would grow the process by
// that much each time. Freed only on FreeLibrary (reserved null): when the process ends other
// threads were cut off wherever they stood, possibly inside the heap, and the memory goes anyway.
inline void ReleaseRuntimeOnUnload(DWORD reason, LPVOID reserved) noexcept {
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        __gnu_cxx::__freeres();
    }
}

} // namespace qelwin
