#include "waits.h"

#include <windows.h>

namespace vtqeldevc {

void Wait(const SleepMilliseconds& sleep, unsigned ms) {
    if (ms == 0) {
        return;
    }
    if (sleep) {
        sleep(ms);
    } else {
        ::Sleep(ms);
    }
}

unsigned NoDataYetWait(int count) noexcept {
    if (count <= 1) {
        return 0;
    }
    if (count == 2) {
        return 10;
    }
    return count == 3 ? 100 : 1000;
}

} // namespace vtqeldevc
