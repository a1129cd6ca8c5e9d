// Request times: Unix time stamps, calendar fields and their ISO 8601 text.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>

namespace qelcmn {

struct UnixTimeStamp {
    std::int64_t seconds = 0;     // since 1970-01-01 00:00:00 UTC
    std::int32_t milliseconds = 0; // 0 to 999
    std::int32_t utcOffset = 0;   // seconds east of UTC; carried along, never applied
};

// Broken-down UTC time in the manner of the standard tm record.
struct CalendarTime {
    std::int32_t second = 0;
    std::int32_t minute = 0;
    std::int32_t hour = 0;
    std::int32_t dayOfMonth = 1; // 1-31
    std::int32_t month = 0;      // 0-11
    std::int32_t year = 70;      // years since 1900
    std::int32_t dayOfWeek = 0;  // left as the caller set it
    std::int32_t dayOfYear = 0;  // left as the caller set it
    std::int32_t daylight = 0;   // left as the caller set it
    std::int32_t milliseconds = 0;
    std::int32_t utcOffset = 0;

    // Writes e.g. 2024-03-05T07:08:09.045+09:00; writes nothing to a failed stream.
    std::ostream& WriteIso8601(std::ostream& out) const;
};

// Fills the caller's record from the stamp (UTC); nothing when the platform conversion fails,
// and then the record is left as it was.
std::optional<CalendarTime> SecondsToCalendarTime(const UnixTimeStamp& stamp, CalendarTime& out);

// The inverse; nothing when the platform conversion fails.
std::optional<UnixTimeStamp> CalendarTimeToSeconds(const CalendarTime& time, UnixTimeStamp& out);

} // namespace qelcmn
