#include "screens/progress_callback.h"

namespace qelscreens {

void RequestCancel(CancelFlag* flag) noexcept {
    if (flag != nullptr) {
        flag->exchange(1);
    }
}

} // namespace qelscreens
