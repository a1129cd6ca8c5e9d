#include "convert.h"

#include <process.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>

#include <win/unique_any.h>

namespace vtwidwus {

int CConvertWin::MemCopy(void* destination, std::size_t destinationSize, const void* source,
                         std::size_t count) {
    if (count == 0) {
        return 0;
    }
    if (destination == nullptr || source == nullptr) {
        return EINVAL;
    }
    if (count > destinationSize) {
        return ERANGE;
    }
    std::memmove(destination, source, count);
    return 0;
}

int CConvertWin::IntToString(int value, char* buffer, std::size_t bufferSize, int radix) {
    return ::_itoa_s(value, buffer, bufferSize, radix);
}

namespace {

// Made while the library loads, never as a function's own static: the first use of such a static
// takes the threads library's one-time lock, which leaves per-thread state (a thread handle and
// an event) on the calling thread that the unloaded library can never give back. The critical
// section is deleted when the library unloads; a std::mutex would keep the event it may make.
qelwin::critical_section g_randLock;
std::minstd_rand g_randEngine(static_cast<unsigned>(::GetTickCount64()));
CConvertWin g_convert;
std::atomic<CInterfaceConvert*> g_testConvert{nullptr};

} // namespace

int CConvertWin::Rand(int* value) {
    if (value == nullptr) {
        return EINVAL;
    }
    const qelwin::critical_section_guard guard(g_randLock.get());
    *value = static_cast<int>(g_randEngine() & 0x7fffffff);
    return 0;
}

qelwin::unique_handle CConvertWin::BeginThread(ThreadRoutine routine, void* argument) {
    if (routine == nullptr || argument == nullptr) {
        return {};
    }
    const std::uintptr_t thread = ::_beginthreadex(nullptr, 0, routine, argument, 0, nullptr);
    return qelwin::unique_handle(reinterpret_cast<HANDLE>(thread));
}

void CConvertWin::WaitThread(HANDLE thread) {
    if (thread != nullptr) {
        ::WaitForSingleObject(thread, INFINITE);
    }
}

void CConvertWin::Sleep(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

std::uint64_t CConvertWin::Clock() {
    return ::GetTickCount64();
}

CInterfaceConvert& Convert() noexcept {
    if (CInterfaceConvert* test = g_testConvert.load()) {
        return *test;
    }
    return g_convert;
}

void SetConvertForTest(CInterfaceConvert* convert) noexcept {
    g_testConvert.store(convert);
}

} // namespace vtwidwus
