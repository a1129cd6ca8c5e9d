#include "win/unique_any.h"

#include <gtest/gtest.h>

namespace {

int g_closed = 0;
int g_last_closed = 0;
void CountClose(int v) noexcept {
    ++g_closed;
    g_last_closed = v;
}
struct MinusOne {
    static int value() noexcept { return -1; }
};
using unique_counted = qelwin::unique_any<int, CountClose, MinusOne>;

TEST(UniqueAny, ReleasesOwnedValueOnceAcrossMovesAndResets) {
    g_closed = 0;
    {
        unique_counted a(5);
        unique_counted b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_TRUE(b);
        unique_counted c;
        c = std::move(b);
        EXPECT_EQ(g_closed, 0);
        c.reset(7);
        EXPECT_EQ(g_closed, 1);
        EXPECT_EQ(g_last_closed, 5);
        *c.put() = 9;
        EXPECT_EQ(g_closed, 2);
        EXPECT_EQ(g_last_closed, 7);
    }
    EXPECT_EQ(g_closed, 3);
    EXPECT_EQ(g_last_closed, 9);
}

TEST(UniqueAny, InvalidValueIsNeverClosedAndReleaseGivesUpOwnership) {
    g_closed = 0;
    {
        unique_counted empty;
        unique_counted released(3);
        EXPECT_EQ(released.release(), 3);
    }
    EXPECT_EQ(g_closed, 0);
}

TEST(UniqueAny, RealHandleIsClosed) {
    HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    HANDLE dup = nullptr;
    {
        qelwin::unique_handle h(raw);
        ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), h.get(), ::GetCurrentProcess(), &dup,
                                      0, FALSE, DUPLICATE_SAME_ACCESS));
    }
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(raw, &flags));
    ::CloseHandle(dup);
}

} // namespace
