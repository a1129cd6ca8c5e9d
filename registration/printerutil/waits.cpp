#include "printerutil/waits.h"

#include <windows.h>

#include <atomic>

namespace printerutil {
namespace {

// The performance counter: monotonic, unaffected by changes of the wall clock.
class RealWaits final : public IWaits {
public:
    std::int64_t NowMs() override {
        LARGE_INTEGER frequency{};
        LARGE_INTEGER counter{};
        if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 ||
            !::QueryPerformanceCounter(&counter)) {
            return static_cast<std::int64_t>(::GetTickCount64());
        }
        // Whole seconds and the rest apart, so that a long uptime cannot overflow the product.
        const std::int64_t f = frequency.QuadPart;
        const std::int64_t c = counter.QuadPart;
        return (c / f) * 1000 + (c % f) * 1000 / f;
    }

    void Pause(std::chrono::milliseconds duration) override {
        if (duration.count() > 0) {
            ::Sleep(static_cast<DWORD>(duration.count()));
        }
    }

    bool Await(std::chrono::milliseconds bound,
               const std::function<bool(std::chrono::milliseconds)>& waitFor) override {
        return waitFor(bound);
    }
};

RealWaits realWaits;
std::atomic<IWaits*> current{&realWaits};

} // namespace

IWaits& Waits() {
    return *current.load();
}

ScopedWaits::ScopedWaits(IWaits& waits) : previous_(current.exchange(&waits)) {}

ScopedWaits::~ScopedWaits() {
    current.store(previous_);
}

} // namespace printerutil
