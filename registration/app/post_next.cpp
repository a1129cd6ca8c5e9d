#include "app/post_next.h"

namespace qelapp {

bool PostNextOrEnd(HWND window, UINT message, WPARAM wParam, PostMessageFunction post) noexcept {
    if (post(window, message, wParam, 0)) {
        return true;
    }
    ::DestroyWindow(window);
    return false;
}

} // namespace qelapp
