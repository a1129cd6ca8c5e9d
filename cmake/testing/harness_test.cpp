// Proof that the test harness reports what people need: the first cases fail on purpose, and
// ctest checks how they failed; the last holds the run to a rule (see CMakeLists.txt beside this
// file).
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <thread>

#include "qelcmn/exceptions.h"
#include "win/unique_any.h"

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

// The desktop process takes the error output of the program that starts it and lives while any
// program uses the desktop, so a test program that starts it keeps its own output open long after
// it ended. The run holds the desktop from before the first test: no test program ever starts it.
TEST(Harness, TheDesktopIsNotStartedByATest) {
    DWORD desktopProcess = 0;
    ASSERT_NE(::GetWindowThreadProcessId(::GetDesktopWindow(), &desktopProcess), 0u);
    const qelwin::unique_file snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    ASSERT_TRUE(snapshot);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == desktopProcess) {
            found = true;
            EXPECT_NE(entry.th32ParentProcessID, ::GetCurrentProcessId())
                << "this test started the desktop: run the tests through tools/test.sh";
        }
    }
    EXPECT_TRUE(found);
}

} // namespace
