// The registry view of every key the program opens or creates, and of the tests that prepare or
// read those keys. The installer and the program itself keep their values in the native 64-bit
// view; a key opened without naming the view would land in the 32-bit one under a 32-bit build
// or a redirected key, where nothing of theirs is.
#pragma once

#include <windows.h>

namespace qelwin {

inline constexpr REGSAM kRegistryView = KEY_WOW64_64KEY;

} // namespace qelwin
