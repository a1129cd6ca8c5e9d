// Platform services of the wrapper (byte copies, integer text, sleeping, the clock), behind one
// interface so that tests can drive the fixed waits with a clock of their own.
#pragma once

#include <win/unique_any.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vtwidwus {

class CInterfaceConvert {
public:
    using ThreadRoutine = unsigned(__stdcall*)(void*);

    virtual ~CInterfaceConvert() = default;

    // 0 on success; 22 for a null destination or source, 34 when count exceeds the destination.
    virtual int MemCopy(void* destination, std::size_t destinationSize, const void* source,
                        std::size_t count) = 0;
    // The value as NUL-terminated text in the radix; 0 on success.
    virtual int IntToString(int value, char* buffer, std::size_t bufferSize, int radix) = 0;
    virtual int Rand(int* value) = 0;
    // A new thread running routine(argument); empty for a null routine or argument.
    virtual qelwin::unique_handle BeginThread(ThreadRoutine routine, void* argument) = 0;
    virtual void WaitThread(HANDLE thread) = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
    // Milliseconds of a monotonic clock (waits are measured in wall time).
    virtual std::uint64_t Clock() = 0;
};

class CConvertWin : public CInterfaceConvert {
public:
    int MemCopy(void* destination, std::size_t destinationSize, const void* source,
                std::size_t count) override;
    int IntToString(int value, char* buffer, std::size_t bufferSize, int radix) override;
    int Rand(int* value) override;
    qelwin::unique_handle BeginThread(ThreadRoutine routine, void* argument) override;
    void WaitThread(HANDLE thread) override;
    void Sleep(unsigned milliseconds) override;
    std::uint64_t Clock() override;
};

// The process-wide facility (a CConvertWin made on first use), or the one a test put in place.
CInterfaceConvert& Convert() noexcept;
void SetConvertForTest(CInterfaceConvert* convert) noexcept;

} // namespace vtwidwus
