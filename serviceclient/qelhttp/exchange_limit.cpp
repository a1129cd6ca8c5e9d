#include <atomic>

#include "qelhttp/http_engine_options.h"

namespace qelhttp {

namespace {

std::atomic<long long> limitMs{kExchangeLimit.count()};

} // namespace

std::chrono::milliseconds ExchangeLimit() {
    return std::chrono::milliseconds(limitMs.load());
}

ScopedExchangeLimit::ScopedExchangeLimit(std::chrono::milliseconds limit)
    : previous_(std::chrono::milliseconds(limitMs.exchange(limit.count()))) {}

ScopedExchangeLimit::~ScopedExchangeLimit() {
    limitMs.store(previous_.count());
}

} // namespace qelhttp
