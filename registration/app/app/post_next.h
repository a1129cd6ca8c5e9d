// Posting the next step of a flow to the hidden window. A flow whose next message cannot be
// queued would leave the program waiting for ever, so such a run ends instead.
#pragma once

#include <windows.h>

namespace qelapp {

using PostMessageFunction = decltype(::PostMessageW)*;

// Posts message (wParam, lParam 0) to the window; when the queue refuses it, destroys the window,
// which ends the message loop. False in that case.
bool PostNextOrEnd(HWND window, UINT message, WPARAM wParam = 0,
                   PostMessageFunction post = ::PostMessageW) noexcept;

} // namespace qelapp
