// The Windows convert facility: byte copies, integer text, threads and the wait clock.
#include "convert.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace vtwidwus::test {
namespace {

TEST(ConvertWinTest, MemCopyRefusesWhatDoesNotFit) {
    CConvertWin convert;
    char out[4] = {'-', '-', '-', '-'};
    const char in[6] = "abcde";
    struct Case {
        const char* name;
        void* destination;
        std::size_t destinationSize;
        const void* source;
        std::size_t count;
        int result;
        const char* after;
    } cases[] = {
        {"nothing to copy", nullptr, 0, nullptr, 0, 0, "----"},
        {"fits", out, sizeof out, in, 3, 0, "abc-"},
        {"too long", out, sizeof out, in, 5, 34, "abc-"},
        {"no destination", nullptr, 4, in, 1, 22, "abc-"},
        {"no source", out, sizeof out, nullptr, 1, 22, "abc-"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convert.MemCopy(c.destination, c.destinationSize, c.source, c.count), c.result)
            << c.name;
        EXPECT_EQ(std::string(out, sizeof out), c.after) << c.name;
    }
}

TEST(ConvertWinTest, IntegerTextFitsTwelveCharacters) {
    CConvertWin convert;
    struct Case {
        int value;
        const char* text;
    } cases[] = {
        {0, "0"}, {12, "12"}, {-7, "-7"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
    for (const Case& c : cases) {
        char text[12] = {};
        ASSERT_EQ(convert.IntToString(c.value, text, sizeof text, 10), 0) << c.text;
        EXPECT_STREQ(text, c.text);
    }
    char small[3] = {};
    EXPECT_NE(convert.IntToString(1234, small, sizeof small, 10), 0);
}

TEST(ConvertWinTest, ThreadsAndRandomNumbers) {
    CConvertWin convert;
    EXPECT_FALSE(convert.BeginThread(nullptr, &convert));
    int ran = 0;
    qelwin::unique_handle thread = convert.BeginThread(
        [](void* argument) -> unsigned {
            *static_cast<int*>(argument) = 1;
            return 0;
        },
        &ran);
    ASSERT_TRUE(thread);
    convert.WaitThread(thread.get());
    EXPECT_EQ(ran, 1);
    convert.WaitThread(nullptr);
    int value = -1;
    EXPECT_EQ(convert.Rand(&value), 0);
    EXPECT_GE(value, 0);
}

TEST(ConvertWinTest, TheWaitClockCountsTimeSpentAsleep) {
    // Processor time would stand still while the thread sleeps; the waits need wall time.
    CConvertWin convert;
    const std::uint64_t before = convert.Clock();
    convert.Sleep(60);
    const std::uint64_t after = convert.Clock();
    EXPECT_GE(after - before, 40u);
    EXPECT_LT(after - before, 5000u);
}

} // namespace
} // namespace vtwidwus::test
