// The main of every test program: GoogleTest's (failed when it ran no test), plus a listener that
// names the code and message of an application exception that ended a test. GoogleTest itself
// prints only what() of a standard exception, and the application's exceptions keep the standard
// default there.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <string>

#include "qelcmn/exceptions.h"
#include "qeltest/run_all_tests.h"

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                          nullptr, nullptr);
    return out;
}

// GoogleTest reports an escaped exception from inside its catch handler, so the exception is
// still the current one when the failure reaches the listeners.
class ApplicationExceptionPrinter : public testing::EmptyTestEventListener {
    void OnTestPartResult(const testing::TestPartResult& result) override {
        const std::exception_ptr current = std::current_exception();
        if (!result.failed() || !current) {
            return;
        }
        try {
            std::rethrow_exception(current);
        } catch (const qelcmn::qel_exception& e) {
            std::printf("qel_exception code 0x%08X message \"%s\"\n", e.ucode(),
                        Utf8(e.message()).c_str());
            std::fflush(stdout);
        } catch (...) {
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleMock(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ApplicationExceptionPrinter);
    return qeltest::RunAllTests();
}
