// Proof that the test harness reports what people need: each case fails on purpose, and ctest
// checks how it failed (see CMakeLists.txt beside this file).
#include <gtest/gtest.h>

#include <thread>

#include "qelcmn/exceptions.h"

namespace {

// An access violation on a thread of its own, where GoogleTest cannot catch it: the process
// dies. Under Wine that must end the test at once, not wait on a debugger or a crash dialog.
TEST(Harness, CrashEndsTheTestAtOnce) {
    std::thread([] { *static_cast<volatile int*>(nullptr) = 1; }).join();
}

// The failure names the code and the message, which what() does not carry.
TEST(Harness, EscapedApplicationExceptionShowsCodeAndMessage) {
    throw qelcmn::qel_cancel(qelcmn::kCodeRetry, L"harness retry");
}

} // namespace
