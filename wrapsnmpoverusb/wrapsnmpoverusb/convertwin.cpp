#include "convert.h"

#include <process.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>

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

int CConvertWin::Rand(int* value) {
    static std::mutex lock;
    static std::minstd_rand engine(static_cast<unsigned>(::GetTickCount64()));
    if (value == nullptr) {
        return EINVAL;
    }
    const std::lock_guard<std::mutex> guard(lock);
    *value = static_cast<int>(engine() & 0x7fffffff);
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

namespace {
std::atomic<CInterfaceConvert*> g_testConvert{nullptr};
} // namespace

CInterfaceConvert& Convert() noexcept {
    if (CInterfaceConvert* test = g_testConvert.load()) {
        return *test;
    }
    static CConvertWin facility;
    return facility;
}

void SetConvertForTest(CInterfaceConvert* convert) noexcept {
    g_testConvert.store(convert);
}

} // namespace vtwidwus
