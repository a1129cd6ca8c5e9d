// A Windows critical section owned for the life of an object.
#pragma once

#include <windows.h>

namespace vtwidwus {

class CCriticalSection {
public:
    CCriticalSection() noexcept { ::InitializeCriticalSection(&cs_); }
    ~CCriticalSection() { ::DeleteCriticalSection(&cs_); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    CRITICAL_SECTION& Native() noexcept { return cs_; }

private:
    CRITICAL_SECTION cs_;
};

} // namespace vtwidwus
