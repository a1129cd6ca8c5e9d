#include "qelcmn/unix_time.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

namespace {

std::string Iso(const qelcmn::UnixTimeStamp& stamp) {
    qelcmn::CalendarTime time;
    EXPECT_TRUE(qelcmn::SecondsToCalendarTime(stamp, time).has_value());
    std::ostringstream out;
    time.WriteIso8601(out);
    return out.str();
}

TEST(UnixTime, WritesIso8601Text) {
    struct Case {
        qelcmn::UnixTimeStamp stamp;
        const char* text;
    };
    const Case cases[] = {
        {{0, 0, 0}, "1970-01-01T00:00:00Z"},
        {{0, 1, 0}, "1970-01-01T00:00:00.001Z"},
        {{1709622489, 0, 0}, "2024-03-05T07:08:09Z"},
        {{1709622489, 45, 32400}, "2024-03-05T07:08:09.045+09:00"},
        {{1709622489, 0, -12600}, "2024-03-05T07:08:09-03:30"},
        {{1709622489, 999, 19800}, "2024-03-05T07:08:09.999+05:30"},
        {{1709622489, 0, 3661}, "2024-03-05T07:08:09+01:01"}, // seconds of the offset dropped
        {{951782400, 0, 0}, "2000-02-29T00:00:00Z"},          // leap day of a century year
        {{1709164800, 0, 0}, "2024-02-29T00:00:00Z"},
        {{4107542399, 0, 0}, "2100-02-28T23:59:59Z"},          // 2100 is no leap year
        {{4107542400, 0, 0}, "2100-03-01T00:00:00Z"},
        {{-1, 0, 0}, "1969-12-31T23:59:59Z"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Iso(c.stamp), c.text) << c.stamp.seconds;
    }
}

TEST(UnixTime, RoundTripKeepsSecondsMillisecondsAndOffset) {
    const qelcmn::UnixTimeStamp stamps[] = {
        {0, 0, 0}, {1, 1, 3600}, {951868799, 500, -18000}, {2147483647, 999, 0}, {-86400, 7, 0}};
    for (const auto& stamp : stamps) {
        qelcmn::CalendarTime time;
        ASSERT_TRUE(qelcmn::SecondsToCalendarTime(stamp, time));
        qelcmn::UnixTimeStamp back;
        ASSERT_TRUE(qelcmn::CalendarTimeToSeconds(time, back));
        EXPECT_EQ(back.seconds, stamp.seconds);
        EXPECT_EQ(back.milliseconds, stamp.milliseconds);
        EXPECT_EQ(back.utcOffset, stamp.utcOffset);
    }
}

TEST(UnixTime, FailedConversionsLeaveTheCallersRecord) {
    qelcmn::CalendarTime time;
    time.hour = 17;
    EXPECT_FALSE(qelcmn::SecondsToCalendarTime({-20000000000LL, 0, 0}, time));
    EXPECT_EQ(time.hour, 17);

    qelcmn::UnixTimeStamp stamp{42, 1, 2};
    qelcmn::CalendarTime bad;
    bad.month = 12;
    EXPECT_FALSE(qelcmn::CalendarTimeToSeconds(bad, stamp));
    EXPECT_EQ(stamp.seconds, 42);
}

TEST(UnixTime, CalendarFieldsComeOverAsTheyAre) {
    qelcmn::CalendarTime time;
    time.dayOfWeek = 99;
    ASSERT_TRUE(qelcmn::SecondsToCalendarTime({1709622489, 45, 32400}, time));
    EXPECT_EQ(time.year, 124);
    EXPECT_EQ(time.month, 2);
    EXPECT_EQ(time.dayOfMonth, 5);
    EXPECT_EQ(time.hour, 7);
    EXPECT_EQ(time.milliseconds, 45);
    EXPECT_EQ(time.utcOffset, 32400);
    EXPECT_EQ(time.dayOfWeek, 99);
}

TEST(UnixTime, FailedStreamGetsNothingAndFormatIsRestored) {
    qelcmn::CalendarTime time;
    std::ostringstream failed;
    failed.setstate(std::ios::failbit);
    time.WriteIso8601(failed);
    EXPECT_TRUE(failed.str().empty());

    std::ostringstream out;
    out << std::hex << std::setfill('*');
    time.WriteIso8601(out);
    out << std::setw(4) << 255;
    EXPECT_EQ(out.str(), "1970-01-01T00:00:00Z**ff");
}

} // namespace
