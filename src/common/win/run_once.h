// One-time initialisation on the platform's INIT_ONCE instead of std::call_once.
#pragma once

#include <windows.h>

#include <type_traits>

namespace qelwin {

// Runs f the first time this flag is passed, as std::call_once does; callers racing on the same
// flag wait until it has run. Unlike std::call_once it needs no per-thread state of the threads
// library: a DLL linked with that library statically cannot give such state back when it is
// unloaded while the calling thread lives on, so every load would leave handles behind.
template <typename F> void RunOnce(INIT_ONCE& once, F&& f) noexcept {
    using Callable = std::remove_reference_t<F>;
    struct Trampoline {
        static BOOL CALLBACK Run(PINIT_ONCE, PVOID callable, PVOID*) {
            (*static_cast<Callable*>(callable))();
            return TRUE;
        }
    };
    ::InitOnceExecuteOnce(&once, &Trampoline::Run, const_cast<void*>(static_cast<const void*>(&f)),
                          nullptr);
}

} // namespace qelwin
