// How every test program ends its main: GoogleTest's run, failed also when the run ran no test.
// A filter that names no test (a test renamed under an entry's filter) would otherwise pass with
// "Running 0 tests" and leave its entry green and empty.
#pragma once

namespace qeltest {

// RUN_ALL_TESTS(), or 1 with a line that says so when the filter selected no test (listing the
// tests with --gtest_list_tests runs none and is not a failure).
int RunAllTests();

} // namespace qeltest
