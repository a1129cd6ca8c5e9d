#include "qelcmn/unix_time.h"

#include <windows.h>

#include <cstdlib>
#include <iomanip>

namespace qelcmn {
namespace {

constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;
constexpr std::int64_t kTicksPerMillisecond = 10000LL;

// Restores a stream's fill character and number format when it goes out of scope.
class StreamFormatGuard {
public:
    explicit StreamFormatGuard(std::ostream& out) : out_(out), fill_(out.fill()), flags_(out.flags()) {}
    ~StreamFormatGuard() {
        out_.fill(fill_);
        out_.flags(flags_);
    }
    StreamFormatGuard(const StreamFormatGuard&) = delete;
    StreamFormatGuard& operator=(const StreamFormatGuard&) = delete;

private:
    std::ostream& out_;
    char fill_;
    std::ios_base::fmtflags flags_;
};

} // namespace

std::optional<CalendarTime> SecondsToCalendarTime(const UnixTimeStamp& stamp, CalendarTime& out) {
    // Stamps before 1601 or too far ahead have no file time.
    if (stamp.seconds < -kSecondsFrom1601To1970 ||
        stamp.seconds > (INT64_MAX / kTicksPerSecond) - kSecondsFrom1601To1970 - 1) {
        return std::nullopt;
    }
    const std::int64_t ticks = (stamp.seconds + kSecondsFrom1601To1970) * kTicksPerSecond +
                               std::int64_t{stamp.milliseconds} * kTicksPerMillisecond;
    if (ticks < 0) {
        return std::nullopt;
    }
    FILETIME fileTime;
    fileTime.dwLowDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) & 0xFFFFFFFFu);
    fileTime.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32);
    SYSTEMTIME system;
    if (!::FileTimeToSystemTime(&fileTime, &system)) {
        return std::nullopt;
    }
    out.second = system.wSecond;
    out.minute = system.wMinute;
    out.hour = system.wHour;
    out.dayOfMonth = system.wDay;
    out.month = system.wMonth - 1;
    out.year = system.wYear - 1900;
    out.milliseconds = system.wMilliseconds;
    out.utcOffset = stamp.utcOffset;
    return out;
}

std::optional<UnixTimeStamp> CalendarTimeToSeconds(const CalendarTime& time, UnixTimeStamp& out) {
    const auto fits = [](std::int32_t value, std::int32_t low, std::int32_t high) {
        return value >= low && value <= high;
    };
    // Out-of-range fields would wrap in the 16-bit system-time fields.
    if (!fits(time.year, 1601 - 1900, 30827 - 1900) || !fits(time.month, 0, 11) ||
        !fits(time.dayOfMonth, 1, 31) || !fits(time.hour, 0, 23) || !fits(time.minute, 0, 59) ||
        !fits(time.second, 0, 59) || !fits(time.milliseconds, 0, 999)) {
        return std::nullopt;
    }
    SYSTEMTIME system{};
    system.wYear = static_cast<WORD>(time.year + 1900);
    system.wMonth = static_cast<WORD>(time.month + 1);
    system.wDay = static_cast<WORD>(time.dayOfMonth);
    system.wHour = static_cast<WORD>(time.hour);
    system.wMinute = static_cast<WORD>(time.minute);
    system.wSecond = static_cast<WORD>(time.second);
    system.wMilliseconds = static_cast<WORD>(time.milliseconds);
    FILETIME fileTime;
    if (!::SystemTimeToFileTime(&system, &fileTime)) {
        return std::nullopt;
    }
    const std::int64_t ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime);
    out.seconds = ticks / kTicksPerSecond - kSecondsFrom1601To1970;
    out.milliseconds = time.milliseconds;
    out.utcOffset = time.utcOffset;
    return out;
}

std::ostream& CalendarTime::WriteIso8601(std::ostream& out) const {
    if (!out) {
        return out;
    }
    StreamFormatGuard guard(out);
    out << std::dec << std::setfill('0');
    out << (year + 1900) << '-' << std::setw(2) << (month + 1) << '-' << std::setw(2)
        << dayOfMonth << 'T' << std::setw(2) << hour << ':' << std::setw(2) << minute << ':'
        << std::setw(2) << second;
    if (milliseconds != 0) {
        out << '.' << std::setw(3) << milliseconds;
    }
    if (utcOffset == 0) {
        out << 'Z';
    } else {
        const std::int64_t magnitude = std::llabs(std::int64_t{utcOffset});
        out << (utcOffset > 0 ? '+' : '-') << std::setw(2) << (magnitude / 3600) << ':'
            << std::setw(2) << ((magnitude % 3600) / 60);
    }
    return out;
}

} // namespace qelcmn
